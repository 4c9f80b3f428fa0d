// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Downloads list shows of each kept download: its runs and the
// dates they span, found by decoding it as Open would (without its files).

#include <optional>
#include <string>
#include <vector>

#include "records/kept_downloads.h"
#include "records/result.h"

namespace kestrum {

// The runs a kept download holds; no dates when it holds none.
struct KeptRuns {
  int count = 0;
  std::optional<DateTime> firstStart;  // start of the earliest run
  std::optional<DateTime> lastEnd;     // end of the latest sample hour
};

struct KeptDownloadSummary {
  KeptDownloadFile file;
  Result<KeptRuns> runs = KeptRuns{};  // or why the file did not open
};

// Newest first. `now`: K7/K8 runs starting later are left out, as by Open.
std::vector<KeptDownloadSummary> SummarizeKeptDownloads(const std::string& folder, DateTime now);

}  // namespace kestrum
