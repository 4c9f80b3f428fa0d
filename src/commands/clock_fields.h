// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instrument clock as seven packed-BCD fields, taken from the PC's local
// date-time at the moment of the click.

#include <array>
#include <cstdint>

#include "records/measurement_store.h"

namespace kestrum {

struct ClockFields {
  std::uint8_t seconds = 0;
  std::uint8_t minutes = 0;
  std::uint8_t hours = 0;  // 24-hour clock, BCD AND 0x3F
  std::uint8_t day = 0;
  std::uint8_t weekday = 0;  // 1 = Sunday ... 7 = Saturday
  std::uint8_t month = 0;
  std::uint8_t year = 0;  // last two digits
};

// Tens in the high nibble, units in the low one (0..99).
std::uint8_t PackedBcd(int value);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(DateTime value);

ClockFields TakeClockFields(DateTime now);

// The BCD values for clock registers 2 to 8, in register order.
std::array<std::uint8_t, 7> ClockRegisterValues(const ClockFields& fields);

// The K8 frame: A3 'S' 'T', seconds, minutes, hours, day, 0x01 (the K8 keeps
// no weekday), month, year, 0A.
std::array<std::uint8_t, 11> K8ClockFrame(const ClockFields& fields);

}  // namespace kestrum
