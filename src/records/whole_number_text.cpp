// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/whole_number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kestrum {

Extended RoundHalfEven(Extended value) {
  // nearbyint follows the current rounding mode, which the program never
  // changes from round-to-nearest-even.
  Extended rounded = std::nearbyintl(value);
  if (rounded == 0) rounded = 0;  // -0.4 rounds to 0, not "-0"
  return rounded;
}

void AppendRoundedInteger(std::string& out, Extended value) {
  char buffer[64];
  if (std::fabs(value) < 9.0e18L) {  // false for NaN
    // llrint rounds in the current mode, half to even, and is much faster
    // than nearbyintl.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::llrint(value));
    out.append(buffer, result.ptr);
    return;
  }
  // Not reachable from instrument data; still a number, never undefined.
  std::snprintf(buffer, sizeof buffer, "%.0Lf", RoundHalfEven(value));
  out += buffer;
}

std::string RoundedIntegerText(Extended value) {
  std::string out;
  AppendRoundedInteger(out, value);
  return out;
}

std::string ByteCountText(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

}  // namespace kestrum
