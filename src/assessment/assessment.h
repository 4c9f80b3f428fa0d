// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An assessment: a protocol applied to the counted hours of one run or of
// one site of an instrument's history. It says what the mean is, how
// uncertain (counting, calibration and the day-to-day variation), where it
// lies against each reference level and, when that is still open, how many
// more days would tell. The summary dock, the history window, the report
// and the tool all show this one answer.

#include <optional>
#include <string>
#include <vector>

#include "assessment/counted_hours.h"
#include "assessment/level_verdicts.h"
#include "assessment/monthly_means.h"
#include "assessment/occupancy_schedule.h"
#include "assessment/protocol.h"
#include "assessment/seasonal_profile.h"

namespace kestrum {

// 1 pCi/L = 37 Bq/m3 exactly (1 pCi = 0.037 Bq, 1 L = 0.001 m3).
inline constexpr double kBqPerPciL = 37.0;
// Hours a short-term test must hold after the first ones are discarded.
inline constexpr int kShortTermHours = 46;
// Hours discarded at the start of a short-term test, by its conditions.
inline constexpr int kDiscardHours = 4;
inline constexpr int kDiscardHoursClosedLate = 12;
inline constexpr int kDiscardHoursPostMitigation = 24;
// A workplace day counts towards the day-to-day variation with this share
// of its scheduled hours.
inline constexpr double kWorkdayCoverage = 0.75;

struct AssessmentRequest;
// The instrument's own calibration uncertainty, unless one was given already.
void TakeCalibration(AssessmentRequest& request, const std::optional<double>& instrumentPercent);

struct AssessmentRequest {
  Protocol protocol = Protocol::kPeriod;
  std::vector<double> levels;  // Bq/m3, in the order they are reported
  double calibrationPercent = kAssumedCalibrationPercent;
  bool calibrationAssumed = true;  // nobody gave the instrument's
  int discardHours = kDiscardHours;
  std::optional<OccupancySchedule> schedule;  // workplace; the default when none
  std::optional<SeasonalProfile> profile;     // long-term; required there
};

enum class ShortTermAction { kFix, kConsider, kLow };

// Why a short-term test does not count, in the order it is told.
enum class TestFault { kClockUnset, kTooShort, kGap };

// "clock_unset", "too_short", "gap", as the tool writes them.
const char* TestFaultName(TestFault fault);

struct ShortTermTest {
  int discarded = 0;
  std::optional<TestFault> invalid;  // none: the test is valid
  bool Valid() const { return !invalid; }
  DateTime gapAfter = 0;       // the last hour before the first gap
  DateTime deployedFirst = 0;  // the first and last hour of the whole test
  DateTime deployedLast = 0;
  int resultTenths = 0;  // the result in tenths of a pCi/L, rounded half up
  ShortTermAction action = ShortTermAction::kLow;
  double result() const { return resultTenths / 10.0; }
};

struct YearAssessment {
  int year = 0;
  double annualMean = 0;  // the mean of the twelve monthly means
  MeanUncertainty parts;  // of the year, scaled to the annual mean
  std::vector<LevelOutcome> levels;
};

struct Assessment {
  Protocol protocol = Protocol::kPeriod;
  DateTime first = 0;  // the first and last hour assessed
  DateTime last = 0;
  int overlapHours = 0;
  int clockUnsetHours = 0;
  int excludedHours = 0;
  double calibrationPercent = kAssumedCalibrationPercent;
  bool calibrationAssumed = true;
  MeanUncertainty figures;           // of the hours assessed
  std::vector<LevelOutcome> levels;  // on the mean, or on the annual estimate (long-term)
  std::vector<MonthlyMean> months;   // of the hours assessed
  ShortTermTest test;                // us-short-term
  std::string schedule;              // workplace
  double meanAll = 0;                // workplace: every counted hour, occupied or not
  int allHours = 0;
  std::string profile;  // long-term
  double seasonalFactor = 1;
  double annualEstimate = 0;
  std::optional<double> estimateUncertainty;
  std::vector<YearAssessment> years;  // annual: each qualifying calendar year
  std::optional<AnnualMean> latestTwelve;

  int hours() const { return figures.hours; }
};

// Rounded half up to tenths: 3.95 gives 40, 3.949 gives 39.
int TenthsHalfUp(double value);
ShortTermAction ShortTermActionOf(int resultTenths);
std::string_view ShortTermActionWord(ShortTermAction action);

// For each counted sample, whether the protocol leaves it out of its mean
// (the discarded start of a short test, an unoccupied workplace hour): what
// the chart shades.
std::vector<bool> HoursLeftOut(const CountedHours& counted, const AssessmentRequest& request);

Assessment Assess(const CountedHours& counted, const AssessmentRequest& request);

}  // namespace kestrum
