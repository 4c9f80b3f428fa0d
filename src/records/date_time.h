// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Date-times are doubles counting days since 30 December 1899 00:00 (the
// fraction is the time of day). Encoding validates its fields and fails with
// the texts the user sees; splitting rounds to the millisecond first, so a
// sample time built as start + (n + 1) / 24 still shows its whole hour.

#include <cstdint>
#include <optional>

#include "records/measurement_store.h"

namespace kestrum {

inline constexpr const char* kTimeEncodeError = "Invalid argument to time encode";
inline constexpr const char* kDateEncodeError = "Invalid argument to date encode";

inline constexpr double kOneHour = 1.0 / 24.0;
inline constexpr double kOneMillisecond = 1.0 / 86400000.0;

struct DateTimeFields {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Empty when a field is out of range (year 1..9999, a day its month has;
// hour < 24, minute < 60, second < 60, millisecond < 1000).
std::optional<DateTime> TryEncodeDate(int year, int month, int day);
std::optional<DateTime> TryEncodeTime(int hour, int minute, int second, int millisecond);

// As above, throwing std::invalid_argument with kDateEncodeError / kTimeEncodeError.
DateTime EncodeDate(int year, int month, int day);
DateTime EncodeTime(int hour, int minute, int second, int millisecond);

// The fields of a date-time, rounded to the nearest millisecond.
DateTimeFields SplitDateTime(DateTime value);

// The PC's local date and time now.
DateTime CurrentLocalDateTime();

}  // namespace kestrum
