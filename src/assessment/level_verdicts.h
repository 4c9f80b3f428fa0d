// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mean (or an annual estimate from it) judged against reference levels,
// and, where the judgement is open, how many more days of the same kind
// would settle it.

#include <optional>
#include <vector>

#include "assessment/mean_uncertainty.h"
#include "assessment/reference_levels.h"

namespace kestrum {

// The most further days a judgement looks ahead.
inline constexpr int kMostMoreDays = 365;

// value = mean x scale; its uncertainty is that of the mean scaled the same
// way, with `extra` (already in value units) beside the calibration part.
struct JudgedValue {
  double value = 0;
  MeanUncertainty parts;
  double scale = 1;
  double extra = 0;

  std::optional<double> UncertaintyWith(int moreDays) const;
  // The parts that more days do not shrink.
  double FixedUncertainty() const;
};

JudgedValue JudgedMean(const MeanUncertainty& parts);

enum class OpenReason {
  kNone,      // decided, or settled within kMostMoreDays
  kTooShort,  // fewer than three full days
  kNoPulses,  // no counting uncertainty to go on
  kTooClose,  // even a year more would not tell
  kNotAsked,  // no look-ahead wanted
};

struct LevelOutcome {
  double level = 0;  // Bq/m3
  LevelVerdict verdict = LevelVerdict::Undecided;
  std::optional<int> moreDays;  // 0 when decided; none when no number of days tells
  OpenReason reason = OpenReason::kNone;
  bool calibrationSpans = false;  // the fixed parts alone keep the level in reach
};

// Above when value - 2u > level, below when value + 2u < level, else undecided.
LevelOutcome JudgeLevel(const JudgedValue& value, double level, bool lookAhead = true);

std::vector<LevelOutcome> JudgeLevels(const JudgedValue& value, const std::vector<double>& levels,
                                      bool lookAhead = true);

}  // namespace kestrum
