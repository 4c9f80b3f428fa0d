// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every byte that crossed the emulated line, for tests to check whole
// exchanges: bytes, order, grouping into calls, and the time between them.

#include <cstdint>
#include <vector>

namespace kestrum {

enum class WireDirection { kToInstrument, kToHost };

struct WireLogEntry {
  // Virtual time: of the write call for bytes sent, of the byte's arrival at
  // the PC for bytes read.
  std::int64_t time_ns = 0;
  WireDirection direction = WireDirection::kToInstrument;
  std::uint8_t byte = 0;
  // Numbers the write and read calls; the bytes of one call share it.
  std::uint32_t transfer = 0;
};

using WireLog = std::vector<WireLogEntry>;

}  // namespace kestrum
