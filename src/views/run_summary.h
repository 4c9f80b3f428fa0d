// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a run says about the radon level of a time range: its period, mean
// and uncertainty (as the footer computes them), extremes, the hours above
// each reference level, the mean of each day, and the assessment of its
// counted hours, whose verdicts the summary states.
// Shared by the summary dock, the measurement report and kestrum-tool.

#include <cstdint>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/daily_means.h"
#include "assessment/reference_levels.h"
#include "records/measurement_store.h"
#include "views/radon_level.h"

namespace kestrum {

struct LevelJudgement {
  double level = 0;  // Bq/m3
  int hoursAbove = 0;
  LevelVerdict verdict = LevelVerdict::Undecided;  // the assessment's
  LevelOutcome outcome;                            // with the days that would tell
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
  Assessment assessment;                   // of the counted hours, under the request's protocol
  AssessmentRequest request;               // what the assessment followed
};

// The samples of run `run` stamped from `from` to `to`, both included;
// samples stamped 0 are left out. A sample is the hour that ends at its
// time stamp, so it belongs to the day that hour lies in: the sample
// stamped 00:00 closes the day before. The assessment follows `request`
// (its levels are replaced by `levels`).
RunSummary SummariseRun(const MeasurementStore& store, int run, DateTime from, DateTime to,
                        const std::vector<double>& levels,
                        const AssessmentRequest& request = AssessmentRequest{});

// The same over hours already counted (a history selection): the figures
// and the assessment both of `counted`.
RunSummary SummariseCounted(const CountedHours& counted, Extended calibrationFactor,
                            const AssessmentRequest& request);

// The summary a report states: `summary` of run `run` as it is, or, when it
// judges against no level, judged against the three standard levels.
RunSummary SummaryForReport(const MeasurementStore& store, int run, RunSummary summary);

// Hours covered by the samples first .. last: from the start of the first
// sample's hour to the end of the last's.
double CoveredHours(const RunSummary& summary);

}  // namespace kestrum
