// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/run_summary.h"

#include <cmath>

#include "records/date_time.h"
#include "views/run_sample_range.h"

namespace kestrum {
namespace {

// The figures of `count` samples given by `at(i)` (time, Extended value).
template <typename At>
RunSummary Figures(std::int32_t count, At at, Extended calibrationFactor,
                   const std::vector<double>& levels) {
  RunSummary out;
  for (double level : levels) out.judgements.push_back({level, 0, LevelVerdict::Undecided, {}});
  Extended sum = 0;
  Extended daySum = 0;
  int currentDay = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const auto [time, concentration] = at(i);
    const double value = static_cast<double>(concentration);
    if (out.samples == 0) {
      out.first = time;
      out.highest = out.lowest = value;
      out.highestAt = out.lowestAt = time;
    }
    out.last = time;
    ++out.samples;
    sum += concentration;
    if (value > out.highest) {
      out.highest = value;
      out.highestAt = time;
    }
    if (value < out.lowest) {
      out.lowest = value;
      out.lowestAt = time;
    }
    for (LevelJudgement& j : out.judgements) {
      if (value > j.level) ++j.hoursAbove;
    }
    const int day = DayOfHour(time);
    if (out.days.empty() || day != currentDay) {
      if (!out.days.empty())
        out.days.back().mean = static_cast<double>(daySum / out.days.back().count);
      const DateTimeFields f = SplitDateTime(day);
      out.days.push_back({f.year, f.month, f.day, 0, 0});
      currentDay = day;
      daySum = 0;
    }
    ++out.days.back().count;
    daySum += concentration;
  }
  if (!out.days.empty()) out.days.back().mean = static_cast<double>(daySum / out.days.back().count);
  out.level = RadonLevelOfSum(sum, out.samples, calibrationFactor);
  return out;
}

void Judge(RunSummary& summary, const CountedHours& counted, AssessmentRequest request) {
  std::vector<double> levels;
  for (const LevelJudgement& j : summary.judgements) levels.push_back(j.level);
  request.levels = levels;
  summary.request = request;
  summary.assessment = Assess(counted, request);
  // The verdicts are the period's, whatever else the request shows.
  std::vector<LevelOutcome> period = summary.assessment.levels;
  if (request.protocol != Protocol::kPeriod) {
    request.protocol = Protocol::kPeriod;
    period = Assess(counted, request).levels;
  }
  for (std::size_t i = 0; i < summary.judgements.size(); ++i) {
    summary.judgements[i].outcome = period[i];
    summary.judgements[i].verdict = period[i].verdict;
  }
}

}  // namespace

RunSummary SummariseRun(const MeasurementStore& store, int run, DateTime from, DateTime to,
                        const std::vector<double>& levels, const AssessmentRequest& request) {
  const SampleRange range = RunSampleRange(store, run);
  std::vector<std::int32_t> inRange;
  for (std::int32_t i = range.first; i <= range.last; ++i) {
    const SampleRecord& sample = store.Samples[static_cast<std::size_t>(i)];
    if (sample.Time == 0 || sample.Time < from || sample.Time > to) continue;
    inRange.push_back(i);
  }
  RunSummary out = Figures(
      static_cast<std::int32_t>(inRange.size()),
      [&](std::int32_t k) {
        const SampleRecord& s = store.Samples[static_cast<std::size_t>(inRange[k])];
        return std::pair<DateTime, Extended>(s.Time, s.Concentration);
      },
      store.CalibrationFactor, levels);
  const std::vector<HourlySample> samples = RunHourlySamples(store, run);
  Judge(out, CountHours({RunHoursOfFile(store, run, samples, {})}, from, to), request);
  return out;
}

RunSummary SummariseCounted(const CountedHours& counted, Extended calibrationFactor,
                            const AssessmentRequest& request) {
  RunSummary out = Figures(
      static_cast<std::int32_t>(counted.samples.size()),
      [&](std::int32_t k) {
        const HourlySample& s = counted.samples[static_cast<std::size_t>(k)];
        return std::pair<DateTime, Extended>(s.time, s.concentration);
      },
      calibrationFactor, request.levels);
  Judge(out, counted, request);
  return out;
}

RunSummary SummaryForReport(const MeasurementStore& store, int run, RunSummary summary) {
  if (summary.samples == 0 || !summary.judgements.empty()) return summary;
  // first .. last holds the same samples as the range the summary was made of.
  return SummariseRun(store, run, summary.first, summary.last, LevelsForVerdicts({}),
                      summary.request);
}

double CoveredHours(const RunSummary& summary) {
  if (summary.samples == 0) return 0;
  return std::round((summary.last - summary.first) * 24) + 1;
}

}  // namespace kestrum
