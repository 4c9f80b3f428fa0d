// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The converter's line settings; a fresh open starts from its power-on
// defaults, 9,600 baud, 8 data bits, one stop bit, no parity, no flow control.

#include <cstdint>

namespace kestrum {

struct LineSettings {
  std::uint32_t baud = 9600;
  std::uint8_t word_length = 8;
  std::uint8_t stop_bits = 0;
  std::uint8_t parity = 0;
  std::uint16_t flow_control = 0;
  std::uint8_t xon = 0x11;
  std::uint8_t xoff = 0x13;
};

// Ten bits on the line per byte: start, eight data, stop.
inline double ByteTimeNs(std::uint32_t baud) {
  return 10.0e9 / baud;
}

}  // namespace kestrum
