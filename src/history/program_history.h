// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history of this program: the store in the program's data folder.

#include <memory>

#include "history/history_store.h"

namespace kestrum {

// The history in the program's data folder. A damaged store is moved aside
// and rebuilt from the kept downloads and annotations.tsv; missing kept
// downloads are imported (unless `fill` is false: the caller is about to
// import a download of its own first, then fills it).
// The failure (or the store's Notice()) is a text for the status bar.
Result<std::unique_ptr<HistoryStore>> OpenProgramHistory(DateTime now, bool fill = true);

}  // namespace kestrum
