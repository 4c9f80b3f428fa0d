// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/level_verdicts.h"

#include <cmath>

namespace kestrum {

std::optional<double> JudgedValue::UncertaintyWith(int moreDays) const {
  if (!parts.counting) return std::nullopt;
  const std::optional<double> temporal = parts.temporal.UncertaintyWith(moreDays);
  if (!temporal) return std::nullopt;
  const double h = parts.hours;
  const double counting = *parts.counting * std::sqrt(h / (h + 24.0 * moreDays));
  const double a = scale * counting;
  const double b = scale * *temporal;
  const double fixed = FixedUncertainty();
  return std::sqrt(a * a + b * b + fixed * fixed);
}

double JudgedValue::FixedUncertainty() const {
  const double c = scale * parts.calibration;
  return std::sqrt(c * c + extra * extra);
}

JudgedValue JudgedMean(const MeanUncertainty& parts) {
  return JudgedValue{parts.mean, parts, 1, 0};
}

LevelOutcome JudgeLevel(const JudgedValue& value, double level, bool lookAhead) {
  LevelOutcome out;
  out.level = level;
  out.calibrationSpans = std::fabs(value.value - level) <= 2 * value.FixedUncertainty();
  if (value.parts.temporal.days < kFewestDays) {
    out.reason = OpenReason::kTooShort;
    return out;
  }
  const std::optional<double> u = value.UncertaintyWith(0);
  if (!u) {
    out.reason = OpenReason::kNoPulses;
    return out;
  }
  out.verdict = JudgeAgainstLevel(value.value, *u, level);
  if (out.verdict != LevelVerdict::Undecided) {
    out.moreDays = 0;
    return out;
  }
  if (!lookAhead) {
    out.reason = OpenReason::kNotAsked;
    return out;
  }
  for (int more = 1; more <= kMostMoreDays; ++more) {
    if (JudgeAgainstLevel(value.value, *value.UncertaintyWith(more), level) !=
        LevelVerdict::Undecided) {
      out.moreDays = more;
      return out;
    }
  }
  out.reason = OpenReason::kTooClose;
  return out;
}

std::vector<LevelOutcome> JudgeLevels(const JudgedValue& value, const std::vector<double>& levels,
                                      bool lookAhead) {
  std::vector<LevelOutcome> out;
  for (double level : levels) out.push_back(JudgeLevel(value, level, lookAhead));
  return out;
}

}  // namespace kestrum
