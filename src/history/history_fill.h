// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bringing the history up to what the data folder holds: the kept downloads
// it lacks, and, for a store just made (missing, or replacing a damaged
// one), the files once imported from elsewhere and what only the user
// wrote, from annotations.tsv.

#include <optional>
#include <string>
#include <vector>

#include "history/history_files.h"
#include "history/history_store.h"

namespace kestrum {

struct HistoryFill {
  std::vector<FileImport> imports;           // every file read, kept or from elsewhere
  std::optional<AnnotationRestore> restore;  // when annotations were put back
  std::optional<std::string> problem;        // annotations.tsv could not be read or written
  int Skipped() const;
  // One sentence for the user: what a rebuild restored and what it could not.
  std::string RestoreText() const;
};

HistoryFill FillHistory(HistoryStore& store, const std::string& dataFolder, DateTime now);

}  // namespace kestrum
