// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/register_text.h"

#include <cmath>
#include <cstdio>

namespace kestrum {

std::string FactorChangeText(const FactorChange& change) {
  char factors[64];
  std::snprintf(factors, sizeof factors, "from %.2f to %.2f", change.from, change.to);
  return std::string("calibration factor changed ") + factors + " between the downloads of " +
         DayText(change.before) + " and " + DayText(change.after);
}

}  // namespace kestrum
