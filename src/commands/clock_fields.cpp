// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/clock_fields.h"

#include <cmath>

#include "records/date_time.h"

namespace kestrum {

std::uint8_t PackedBcd(int value) {
  const int tens = value / 10;
  const int units = value - 10 * tens;
  return static_cast<std::uint8_t>(tens * 16 + units);
}

int DayOfWeek(DateTime value) {
  // Day 0, 30 December 1899, was a Saturday.
  const long long day = static_cast<long long>(std::floor(value));
  return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

ClockFields TakeClockFields(DateTime now) {
  const DateTimeFields split = SplitDateTime(now);
  ClockFields fields;
  fields.seconds = PackedBcd(split.second);
  fields.minutes = PackedBcd(split.minute);
  fields.hours = PackedBcd(split.hour) & 0x3F;
  fields.day = PackedBcd(split.day);
  fields.weekday = PackedBcd(DayOfWeek(EncodeDate(split.year, split.month, split.day)));
  fields.month = PackedBcd(split.month);
  fields.year = PackedBcd(split.year % 100);
  return fields;
}

std::array<std::uint8_t, 7> ClockRegisterValues(const ClockFields& f) {
  return {f.seconds, f.minutes, f.hours, f.day, f.weekday, f.month, f.year};
}

std::array<std::uint8_t, 11> K8ClockFrame(const ClockFields& f) {
  return {0xA3, 0x53, 0x54, f.seconds, f.minutes, f.hours, f.day, 0x01, f.month, f.year, 0x0A};
}

}  // namespace kestrum
