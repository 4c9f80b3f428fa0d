// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instrument's clock fields and run time stamps are packed BCD, one byte
// per field.

#include <cstdint>

namespace kestrum {

// b - 6 * (b div 16), modulo 256: 0x59 gives 59, an erased 0xFF gives 165.
inline constexpr std::uint8_t BcdToByte(std::uint8_t b) {
  return static_cast<std::uint8_t>(b - 6 * (b / 16));
}

// 0..99 to its two BCD digits: 59 gives 0x59.
inline constexpr std::uint8_t ByteToBcd(int value) {
  return static_cast<std::uint8_t>((value / 10) * 16 + value % 10);
}

}  // namespace kestrum
