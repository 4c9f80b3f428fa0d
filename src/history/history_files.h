// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Data files into the history: decoding a file for it, the kept downloads
// folder brought up to date, and files from elsewhere.

#include <string>
#include <vector>

#include "history/history_store.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

// FNV-1a over the bytes, as 16 hex digits: tells identical files apart from
// the same file under another name.
std::string ContentHash(std::string_view bytes);

// The instrument a kept download belongs to: "K8-<serial>"; empty for a
// name that is not a kept download's.
std::string InstrumentOfKeptFile(const std::string& path);

// The instrument a data file is imported under: a kept download's own,
// else `given`, else the file's name without ".Rn".
std::string InstrumentNameForFile(const std::string& path, const std::string& given);

struct FileImport {
  std::string path;
  Result<ImportCounts> counts = ImportCounts{};  // or why the file was skipped
};

// Imports every kept download the store does not know yet, oldest first.
// A damaged file is skipped and named; the others go on.
std::vector<FileImport> ImportKeptDownloads(HistoryStore& store, const std::string& keptFolder,
                                            DateTime now);

// Imports data files from elsewhere under `instrument`, or when that is
// empty the file's own name without ".Rn".
std::vector<FileImport> ImportDataFiles(HistoryStore& store, const std::vector<std::string>& paths,
                                        const std::string& instrument, DateTime now);

// One line per file for a report: "K8-...Rn: 2 new runs, 1 grown, 310 new samples".
std::string ImportLine(const FileImport& import);

}  // namespace kestrum
