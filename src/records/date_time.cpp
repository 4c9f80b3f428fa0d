// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/date_time.h"

#include <cmath>
#include <stdexcept>

#include <QDateTime>

namespace kestrum {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86400000;
// Day number of 30 December 1899 counted from 1 January 1970.
constexpr std::int64_t kEpochOffsetDays = -25569;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, DateTimeFields& fields) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  fields.year = static_cast<int>(yoe + era * 400 + (m <= 2));
  fields.month = m;
  fields.day = d;
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<DateTime> TryEncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
  if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return static_cast<DateTime>(DaysFromCivil(year, month, day) - kEpochOffsetDays);
}

std::optional<DateTime> TryEncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
      millisecond < 0 || millisecond >= 1000) {
    return std::nullopt;
  }
  const std::int64_t ms = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<DateTime>(static_cast<Extended>(ms) / kMillisecondsPerDay);
}

DateTime EncodeDate(int year, int month, int day) {
  if (auto value = TryEncodeDate(year, month, day)) return *value;
  throw std::invalid_argument(kDateEncodeError);
}

DateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (auto value = TryEncodeTime(hour, minute, second, millisecond)) return *value;
  throw std::invalid_argument(kTimeEncodeError);
}

DateTimeFields SplitDateTime(DateTime value) {
  // Far outside any instrument date; keeps the conversions below defined.
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) value = 0;
  // The whole part is the date and the fraction, also for negative values,
  // the time of day.
  const bool negative = value < 0;
  // Half a millisecond up, then truncated: round half away from zero, exact in
  // extended precision for every value let through above (and cheaper than llroundl).
  const auto total = static_cast<std::int64_t>(
      static_cast<Extended>(std::fabs(value)) * kMillisecondsPerDay + 0.5L);
  std::int64_t days = total / kMillisecondsPerDay;
  std::int64_t ms = total % kMillisecondsPerDay;
  if (negative) days = -days;

  DateTimeFields fields;
  CivilFromDays(days + kEpochOffsetDays, fields);
  fields.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  fields.second = static_cast<int>(ms % 60);
  ms /= 60;
  fields.minute = static_cast<int>(ms % 60);
  fields.hour = static_cast<int>(ms / 60);
  return fields;
}

DateTime CurrentLocalDateTime() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const DateTime day = EncodeDate(date.year(), date.month(), date.day());
  return day + static_cast<DateTime>(now.time().msecsSinceStartOfDay()) / kMillisecondsPerDay;
}

}  // namespace kestrum
