// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Entries of the activity log that the history itself words, and the one
// way every entry is recorded.

#include <cstdint>
#include <string>

#include "history/history_store.h"
#include "records/date_time.h"

namespace kestrum {

// "Run 5 re-dated: first sample 2026-03-02 14:00".
std::string RedateActivityText(std::int64_t run, DateTime firstSample);

// Records one entry; its failure's text is for the status bar. Without a
// history (null) nothing is recorded and nothing fails.
Result<> NoteActivity(HistoryStore* history, const ActivityEntry& entry);

}  // namespace kestrum
