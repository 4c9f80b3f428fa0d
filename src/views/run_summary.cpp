// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/run_summary.h"

#include <cmath>

#include "records/date_time.h"
#include "views/run_sample_range.h"

namespace kestrum {
namespace {

constexpr double kHour = 1.0 / 24.0;

// The calendar day a sample's hour lies in: its middle decides, so the
// rounding of the time stamp cannot move it.
DateTimeFields DayOfSample(DateTime time) {
  return SplitDateTime(std::floor(time - kHour / 2));
}

}  // namespace

RunSummary SummariseRun(const MeasurementStore& store, int run, DateTime from, DateTime to,
                        const std::vector<double>& levels) {
  RunSummary out;
  for (double level : levels) out.judgements.push_back({level, 0, LevelVerdict::Undecided});
  Extended sum = 0;
  Extended daySum = 0;
  const SampleRange range = RunSampleRange(store, run);
  for (std::int32_t i = range.first; i <= range.last; ++i) {
    const SampleRecord& sample = store.Samples[static_cast<std::size_t>(i)];
    if (sample.Time == 0 || sample.Time < from || sample.Time > to) continue;
    const double value = static_cast<double>(sample.Concentration);
    if (out.samples == 0) {
      out.first = sample.Time;
      out.highest = out.lowest = value;
      out.highestAt = out.lowestAt = sample.Time;
    }
    out.last = sample.Time;
    ++out.samples;
    sum += sample.Concentration;
    if (value > out.highest) {
      out.highest = value;
      out.highestAt = sample.Time;
    }
    if (value < out.lowest) {
      out.lowest = value;
      out.lowestAt = sample.Time;
    }
    for (LevelJudgement& j : out.judgements) {
      if (value > j.level) ++j.hoursAbove;
    }
    const DateTimeFields day = DayOfSample(sample.Time);
    if (out.days.empty() || out.days.back().year != day.year ||
        out.days.back().month != day.month || out.days.back().day != day.day) {
      if (!out.days.empty())
        out.days.back().mean = static_cast<double>(daySum / out.days.back().count);
      out.days.push_back({day.year, day.month, day.day, 0, 0});
      daySum = 0;
    }
    ++out.days.back().count;
    daySum += sample.Concentration;
  }
  if (!out.days.empty()) out.days.back().mean = static_cast<double>(daySum / out.days.back().count);
  out.level = RadonLevelOfSum(sum, out.samples, store.CalibrationFactor);
  for (LevelJudgement& j : out.judgements) {
    j.verdict = JudgeAgainstLevel(static_cast<double>(out.level.mean),
                                  static_cast<double>(out.level.uncertainty), j.level);
  }
  return out;
}

RunSummary SummaryForReport(const MeasurementStore& store, int run, RunSummary summary) {
  if (summary.samples == 0 || !summary.judgements.empty()) return summary;
  // first .. last holds the same samples as the range the summary was made of.
  return SummariseRun(store, run, summary.first, summary.last, LevelsForVerdicts({}));
}

double CoveredHours(const RunSummary& summary) {
  if (summary.samples == 0) return 0;
  return std::round((summary.last - summary.first) * 24) + 1;
}

}  // namespace kestrum
