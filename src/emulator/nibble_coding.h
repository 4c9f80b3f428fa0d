#pragma once
// One data byte as two wire bytes, high nibble first, each nibble in the low
// four bits. The receiver ignores the high four bits of each wire byte; an
// instrument may fill them (some send 0x3n, i.e. ASCII digits).

#include <cstdint>

namespace kestrum {

inline std::uint8_t HighNibbleWire(std::uint8_t value, std::uint8_t high_bits) {
  return static_cast<std::uint8_t>((high_bits & 0xF0) | (value >> 4));
}

inline std::uint8_t LowNibbleWire(std::uint8_t value, std::uint8_t high_bits) {
  return static_cast<std::uint8_t>((high_bits & 0xF0) | (value & 0x0F));
}

inline std::uint8_t NibbleValue(std::uint8_t first, std::uint8_t second) {
  return static_cast<std::uint8_t>(((first & 0x0F) << 4) | (second & 0x0F));
}

}  // namespace kestrum
