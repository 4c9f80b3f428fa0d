// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A running fingerprint of a run's samples, so that a new download can be
// told to agree with what the history holds without reading it back.

#include <cstdint>
#include <cstring>
#include <vector>

#include "history/history_types.h"
#include "records/fnv1a.h"

namespace kestrum {

inline constexpr std::uint64_t kEmptySampleDigest = kFnv1aStart;

// FNV-1a over the bit patterns of every value of the sample.
inline std::uint64_t AddToDigest(std::uint64_t digest, const HistorySample& sample) {
  const double values[] = {sample.time,        sample.concentration, sample.error,   sample.pulses,
                           sample.temperature, sample.humidity,      sample.pressure};
  unsigned char bytes[sizeof values];
  std::memcpy(bytes, values, sizeof values);
  return Fnv1a(digest, bytes, sizeof bytes);
}

// prefix[k]: the digest of the first k samples.
inline std::vector<std::uint64_t> PrefixDigests(const std::vector<HistorySample>& samples) {
  std::vector<std::uint64_t> prefix(samples.size() + 1, kEmptySampleDigest);
  for (std::size_t i = 0; i < samples.size(); ++i)
    prefix[i + 1] = AddToDigest(prefix[i], samples[i]);
  return prefix;
}

}  // namespace kestrum
