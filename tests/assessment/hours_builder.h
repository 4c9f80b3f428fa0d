// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hand-built hourly samples for the assessment tests.

#include <vector>

#include "records/date_time.h"
#include "records/hourly_sample.h"

namespace kestrum::testing {

// `count` hours stamped start + 1h, start + 2h, ...; each at `value` Bq/m3
// from `pulses` pulses.
inline std::vector<HourlySample> Hours(DateTime start, int count, double value,
                                       double pulses = 100) {
  std::vector<HourlySample> out;
  for (int k = 0; k < count; ++k) {
    out.push_back({start + (k + 1) * kOneHour, value, 0, pulses, 20, 40, 100});
  }
  return out;
}

inline DateTime At(int year, int month, int day, int hour = 0, int minute = 0) {
  return EncodeDate(year, month, day) + (hour * 60 + minute) / 1440.0;
}

}  // namespace kestrum::testing
