// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FNV-1a, 64 bits: a fingerprint of bytes that tells identical contents apart
// from different ones without keeping them. Not for security.

#include <cstddef>
#include <cstdint>

namespace kestrum {

inline constexpr std::uint64_t kFnv1aStart = 14695981039346656037ull;

inline constexpr std::uint64_t Fnv1a(std::uint64_t hash, const unsigned char* bytes,
                                     std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace kestrum
