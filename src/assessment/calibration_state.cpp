// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/calibration_state.h"

#include <algorithm>
#include <cmath>

namespace kestrum {
DateTime CalibrationDue(DateTime calibratedOn, int months) {
  const DateTimeFields f = SplitDateTime(std::floor(calibratedOn));
  const int index = f.year * 12 + (f.month - 1) + months;
  const int year = index / 12;
  const int month = index % 12 + 1;
  return EncodeDate(year, month, std::min(f.day, DaysInMonth(year, month)));
}

CalibrationState CalibrationStateFor(std::optional<DateTime> calibratedOn, int intervalMonths,
                                     DateTime testEnd) {
  if (!calibratedOn) return CalibrationState::kUnknown;
  // Valid through the whole of its last day.
  return testEnd < CalibrationDue(*calibratedOn, intervalMonths) + 1 ? CalibrationState::kCurrent
                                                                     : CalibrationState::kOverdue;
}

std::string_view CalibrationStateWord(CalibrationState state) {
  switch (state) {
    case CalibrationState::kCurrent:
      return "current";
    case CalibrationState::kOverdue:
      return "overdue";
    case CalibrationState::kUnknown:
      break;
  }
  return "unknown";
}

}  // namespace kestrum
