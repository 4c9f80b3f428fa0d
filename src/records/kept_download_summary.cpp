// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/kept_download_summary.h"

#include <memory>

#include "records/open_data_file.h"

namespace kestrum {

std::vector<KeptDownloadSummary> SummarizeKeptDownloads(const std::string& folder, DateTime now) {
  std::vector<KeptDownloadSummary> summaries;
  // One store for all: it is large.
  auto store = std::make_unique<MeasurementStore>();
  DecodeContext context;
  context.now = now;
  context.writeFiles = false;
  for (const KeptDownloadFile& file : KeptDownloadFiles(folder)) {
    KeptDownloadSummary summary;
    summary.file = file;
    const Result<OpenedFile> opened = OpenDataFile(file.path, *store, context);
    if (!opened) {
      summary.runs = opened.failure();
    } else if (store->RunCount > 0 && store->LastSampleIndex >= 0) {
      KeptRuns& runs = summary.runs.value();
      runs.count = store->RunCount;
      runs.firstStart = store->Runs[0].StartTime;
      runs.lastEnd = store->Samples[static_cast<std::size_t>(store->LastSampleIndex)].Time;
    }
    summaries.push_back(summary);
  }
  return summaries;
}

}  // namespace kestrum
