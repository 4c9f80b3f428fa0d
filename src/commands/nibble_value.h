#pragma once
// Nibble coding of the K5-K7: one data byte travels as two wire bytes, high
// nibble first, each in the low four bits; the high bits of a received wire
// byte mean nothing.

#include <cstdint>

namespace kestrum {

inline constexpr std::uint8_t NibbleValue(std::uint8_t first, std::uint8_t second) {
  return static_cast<std::uint8_t>(((first & 0x0F) << 4) | (second & 0x0F));
}

inline constexpr std::uint8_t HighNibble(std::uint8_t value) {
  return value >> 4;
}
inline constexpr std::uint8_t LowNibble(std::uint8_t value) {
  return value & 0x0F;
}

}  // namespace kestrum
