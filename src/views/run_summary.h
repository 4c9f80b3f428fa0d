// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a run says about the radon level of a time range: its period, mean
// and uncertainty (as the footer computes them), extremes, the hours above
// and the verdict for each reference level, and the mean of each day.
// Shared by the summary dock, the measurement report and kestrum-tool.

#include <cstdint>
#include <vector>

#include "records/measurement_store.h"
#include "views/radon_level.h"
#include "views/reference_levels.h"

namespace kestrum {

struct LevelJudgement {
  double level = 0;  // Bq/m3
  int hoursAbove = 0;
  LevelVerdict verdict = LevelVerdict::Undecided;
};

struct DailyMean {
  int year = 0;
  int month = 0;
  int day = 0;
  int count = 0;
  double mean = 0;  // Bq/m3
};

struct RunSummary {
  int samples = 0;  // 0: the range holds no sample, nothing else is filled
  DateTime first = 0;
  DateTime last = 0;
  RadonLevel level;
  double highest = 0;
  DateTime highestAt = 0;
  double lowest = 0;
  DateTime lowestAt = 0;
  std::vector<LevelJudgement> judgements;  // in the order the levels were given
  std::vector<DailyMean> days;             // in calendar order
};

// The samples of run `run` stamped from `from` to `to`, both included;
// samples stamped 0 are left out. A sample is the hour that ends at its
// time stamp, so it belongs to the day that hour lies in: the sample
// stamped 00:00 closes the day before.
RunSummary SummariseRun(const MeasurementStore& store, int run, DateTime from, DateTime to,
                        const std::vector<double>& levels);

// The summary a report states: `summary` of run `run` as it is, or, when it
// judges against no level, judged against the three standard levels.
RunSummary SummaryForReport(const MeasurementStore& store, int run, RunSummary summary);

// Hours covered by the samples first .. last: from the start of the first
// sample's hour to the end of the last's.
double CoveredHours(const RunSummary& summary);

}  // namespace kestrum
