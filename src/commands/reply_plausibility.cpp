// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/reply_plausibility.h"

#include <algorithm>

#include "records/sensor_channels.h"

namespace kestrum {
namespace {

// Tadc of 40 °C and of 0 °C (the K7/K8 temperature channel: 605.75 at 7 °C,
// -5.35 per degree).
constexpr std::uint32_t kWarmTadc = 429;
constexpr std::uint32_t kColdTadc = 643;
constexpr std::uint32_t kHighestPadc = 1023;

}  // namespace

std::string ImplausibleReplyText(const std::string& reply) {
  return "The instrument's " + reply + " reply is not plausible; nothing was changed";
}

bool PlausibleNibbleReply(const std::uint8_t* wire, std::size_t count) {
  for (std::size_t i = 1; i < count; ++i) {
    if ((wire[i] & 0xF0) != (wire[0] & 0xF0)) return false;
  }
  return true;
}

bool PlausiblePressureCoefficients(const PressureCoefficients& coefficients) {
  for (const std::uint32_t tadc : {kWarmTadc, kColdTadc}) {
    const Extended atZero = K7K8Pressure(tadc, 0, coefficients);
    const Extended atTop = K7K8Pressure(tadc, kHighestPadc, coefficients);
    // Either slope: a sensor's reading may fall as the pressure rises.
    if (std::min(atZero, atTop) > kLowestPressureKPa) return false;
    if (std::max(atZero, atTop) < kHighestPressureKPa) return false;
  }
  return true;
}

}  // namespace kestrum
