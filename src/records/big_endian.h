// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Multi-byte values in the instrument's memory and replies: most significant
// byte first, at a byte offset.

#include <cstddef>
#include <cstdint>

namespace kestrum {

inline constexpr std::uint32_t BigEndian16(const std::uint8_t* bytes, std::size_t offset) {
  return (static_cast<std::uint32_t>(bytes[offset]) << 8) | bytes[offset + 1];
}

inline constexpr std::uint32_t BigEndian24(const std::uint8_t* bytes, std::size_t offset) {
  return (static_cast<std::uint32_t>(bytes[offset]) << 16) | BigEndian16(bytes, offset + 1);
}

// The writers keep only the low 16 or 24 bits of value.
inline constexpr void PutBigEndian16(std::uint8_t* bytes, std::size_t offset, std::uint32_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value >> 8);
  bytes[offset + 1] = static_cast<std::uint8_t>(value);
}

inline constexpr void PutBigEndian24(std::uint8_t* bytes, std::size_t offset, std::uint32_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value >> 16);
  PutBigEndian16(bytes, offset + 1, value);
}

}  // namespace kestrum
