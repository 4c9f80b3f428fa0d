// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool history runs | summary | export | activity: what the history holds.
#include <algorithm>
#include <cstdio>

#include "assessment/monthly_means.h"
#include "assessment/reference_levels.h"
#include "history/history_hours.h"
#include "history/history_selection.h"
#include "tool/assessment_options.h"
#include "tool/history_output.h"
#include "tool/history_request.h"
#include "tool/run_range_options.h"
#include "tool/summary_output.h"
#include "tool/tool_output.h"
#include "views/run_summary.h"

namespace kestrum::tool {
namespace {

std::string MonthText(int year, int month) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d", year, month);
  return text;
}

}  // namespace

int HistoryRuns(HistoryRequest& request) {
  const std::string* instrument = request.Option("instrument");
  HistoryStore* store = nullptr;
  if (instrument) {
    const Reported<HistoryRequest::OpenedInstrument> opened = request.OpenInstrument(*instrument);
    if (!opened) return opened.ExitCode();
    store = opened->store;
  } else {
    store = request.Store();
    if (!store) return kExitFailure;
  }
  const Result<std::vector<HistoryRun>> runs =
      store->Runs(instrument ? *instrument : std::string());
  if (!runs) return request.Failed(runs.error());
  if (runs->empty()) return request.NothingMatches("the history holds no runs");
  for (const HistoryRun& run : runs.value()) request.Io().out << RunLine(run) << "\n";
  return kExitSuccess;
}

int HistorySummary(HistoryRequest& request) {
  const Reported<HistoryRequest::InstrumentRange> words = request.ReadInstrumentRange();
  if (!words) return words.ExitCode();
  const std::string* instrument = &words->instrument;
  const DateTime from = words->range.from;
  const DateTime to = words->range.to;
  const Result<std::vector<double>> levels = ReadLevelList(request.parsed);
  if (!levels) return request.Usage(levels.error());
  Result<AssessmentRequest> assessing = ReadCalibrationWords(request.parsed, levels.value());
  if (!assessing) return request.Usage(assessing.error());
  const Reported<HistoryRequest::OpenedInstrument> opened = request.OpenInstrument(*instrument);
  if (!opened) return opened.ExitCode();
  HistoryStore* store = opened->store;
  const HistoryInstrument* found = &opened->instrument;

  AssessmentRequest assessment = assessing.value();
  TakeCalibration(assessment, found->calibrationUncertainty);
  const Result<std::vector<LoadedRun>> runs = LoadInstrumentRuns(*store, *instrument);
  if (!runs) return request.Failed(runs.error());
  const std::vector<RunHours> hours = RunHoursOf(runs.value());
  // Rooms are never judged as one: a block per site.
  const std::string* site = request.Option("site");
  std::vector<SiteHours> sites;
  if (site) {
    sites.push_back({*site, CountHours(hours, from, to, site)});
  } else {
    sites = CountHoursPerSite(hours, from, to);
  }
  std::ostream& out = request.Io().out;
  int blocks = 0;
  for (const SiteHours& block : sites) {
    const std::string& s = block.site;
    const CountedHours& counted = block.hours;
    if (counted.samples.empty()) continue;
    const RunSummary summary = SummariseCounted(counted, found->calibrationFactor, assessment);
    if (blocks++ > 0) out << "\n";
    out << "site=" << LineText(SiteTitle(s)) << "\n";
    PrintRunSummary(out, summary);
    out << "overlap_hours=" << counted.overlapHours << "\n";
    const std::vector<MonthlyMean> months = MonthlyMeans(summary.days);
    for (const MonthlyMean& m : months) {
      out << "month=" << MonthText(m.year, m.month) << " count=" << m.count
          << " mean_bqm3=" << SummaryNumber(m.mean) << " coverage=" << SummaryNumber(m.coverage)
          << "\n";
    }
    if (const std::optional<AnnualMean> annual = AnnualMeanOf(months)) {
      out << "annual_mean_bqm3=" << SummaryNumber(annual->mean)
          << " annual_from=" << MonthText(annual->fromYear, annual->fromMonth) << "\n";
    }
  }
  if (blocks == 0) return request.NothingMatches("no run that counts lies in the range");
  return kExitSuccess;
}

int HistoryExport(HistoryRequest& request) {
  const Reported<HistoryRequest::InstrumentRange> words = request.ReadInstrumentRange();
  if (!words) return words.ExitCode();
  const std::string* instrument = &words->instrument;
  const DateTime from = words->range.from;
  const DateTime to = words->range.to;
  const Reported<HistoryRequest::OpenedInstrument> opened = request.OpenInstrument(*instrument);
  if (!opened) return opened.ExitCode();
  HistoryStore* store = opened->store;

  std::string csv = std::string(kExportHeader) + "\n";
  int rows = 0;
  const Result<std::vector<LoadedRun>> runs = LoadInstrumentRuns(*store, *instrument);
  if (!runs) return request.Failed(runs.error());
  for (const LoadedRun& loaded : runs.value()) {
    for (const HistorySample& sample : loaded.samples) {
      if (sample.time == 0 || sample.time < from || sample.time > to) continue;
      csv += ExportRow(loaded.run, sample) + "\n";
      ++rows;
    }
  }
  if (rows == 0) return request.NothingMatches("no sample lies in the range");
  const std::string& path = request.parsed.positional[0];
  const Result<> written = WriteToolOutput(path, csv, request.Io());
  if (!written) return request.Failed(CannotWriteText(path, written.error()));
  return kExitSuccess;
}

int HistoryActivity(HistoryRequest& request) {
  int count = 20;
  if (const std::string* text = request.Option("last")) {
    const std::optional<long long> given = ParseWholeNumber(*text, 1, 100000);
    if (!given)
      return request.Usage("--last wants a number from 1 to 100000, not \"" + *text + "\"");
    count = static_cast<int>(*given);
  }
  HistoryStore* store = request.Store();
  if (!store) return kExitFailure;
  const Result<std::vector<ActivityEntry>> entries = store->LatestActivity(count);
  if (!entries) return request.Failed(entries.error());
  if (entries->empty()) return request.NothingMatches("the activity log is empty");
  for (const ActivityEntry& entry : entries.value())
    request.Io().out << ActivityLine(entry) << "\n";
  return kExitSuccess;
}

}  // namespace kestrum::tool
