// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bulk IN data of an FTDI converter: every packet of the endpoint's
// size starts with two status bytes, modem status and line status; the rest
// is what came over the serial line.

#include <cstdint>
#include <vector>

namespace kestrum {

// Line status bits that mean bytes were lost or arrived damaged.
inline constexpr std::uint8_t kFtdiLineOverrun = 0x02;
inline constexpr std::uint8_t kFtdiLineParity = 0x04;
inline constexpr std::uint8_t kFtdiLineFraming = 0x08;
inline constexpr std::uint8_t kFtdiLineFaults =
    kFtdiLineOverrun | kFtdiLineParity | kFtdiLineFraming;

struct FtdiPayload {
  std::vector<std::uint8_t> bytes;
  // The fault bits of every packet's line status, or-ed together.
  std::uint8_t line_faults = 0;
};

// Appends the data bytes of `length` transferred bytes to payload.bytes.
void SplitFtdiPackets(const std::uint8_t* data, int length, int packet_size, FtdiPayload& payload);

}  // namespace kestrum
