// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Nibble coding of the K5-K7 line: one data byte travels as two wire bytes,
// high nibble first, each in the low four bits. A receiver ignores the high
// four bits of each wire byte; an instrument may fill them (some send 0x3n,
// i.e. ASCII digits). The PC side and the emulated instruments share it.

#include <cstdint>

namespace kestrum {

// The query every K5-K7 answers with its model code, two nibble wire bytes
// (the download sends it once before, to wake the instrument).
inline constexpr std::uint8_t kIdentifyQuery[] = {0xF3, 0x3F};

inline constexpr std::uint8_t NibbleValue(std::uint8_t first, std::uint8_t second) {
  return static_cast<std::uint8_t>(((first & 0x0F) << 4) | (second & 0x0F));
}

inline constexpr std::uint8_t HighNibble(std::uint8_t value) {
  return value >> 4;
}
inline constexpr std::uint8_t LowNibble(std::uint8_t value) {
  return value & 0x0F;
}

// The wire bytes with chosen high bits, as an instrument may send them.
inline constexpr std::uint8_t HighNibbleWire(std::uint8_t value, std::uint8_t high_bits) {
  return static_cast<std::uint8_t>((high_bits & 0xF0) | HighNibble(value));
}
inline constexpr std::uint8_t LowNibbleWire(std::uint8_t value, std::uint8_t high_bits) {
  return static_cast<std::uint8_t>((high_bits & 0xF0) | LowNibble(value));
}

}  // namespace kestrum
