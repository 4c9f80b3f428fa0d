// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/register_text.h"

#include <cmath>
#include <cstdio>

namespace kestrum {

std::string DayText(DateTime day) {
  const DateTimeFields f = SplitDateTime(std::floor(day));
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", f.year, f.month, f.day);
  return text;
}

std::optional<DateTime> ParseDay(const std::string& text) {
  int year = 0;
  int month = 0;
  int day = 0;
  char end = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3) {
    return std::nullopt;
  }
  return TryEncodeDate(year, month, day);
}

std::string FactorChangeText(const FactorChange& change) {
  char factors[64];
  std::snprintf(factors, sizeof factors, "from %.2f to %.2f", change.from, change.to);
  return std::string("calibration factor changed ") + factors + " between the downloads of " +
         DayText(change.before) + " and " + DayText(change.after);
}

}  // namespace kestrum
