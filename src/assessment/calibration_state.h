// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether an instrument's calibration covers a test: a calibration holds for
// its interval from the day it was done; a test that ends after that, or an
// instrument with no calibration day entered, is not covered. The figures are
// given all the same; the report says so beside them.

#include <optional>
#include <string_view>

#include "records/date_time.h"

namespace kestrum {

enum class CalibrationState { kCurrent, kOverdue, kUnknown };

// The day the calibration runs out: `months` after `calibratedOn` (the last
// day of a shorter month where the day is missing).
DateTime CalibrationDue(DateTime calibratedOn, int months);

CalibrationState CalibrationStateFor(std::optional<DateTime> calibratedOn, int intervalMonths,
                                     DateTime testEnd);

// "current", "overdue", "unknown".
std::string_view CalibrationStateWord(CalibrationState state);

}  // namespace kestrum
