// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ftdi_packets.h"

#include <algorithm>

namespace kestrum {

void SplitFtdiPackets(const std::uint8_t* data, int length, int packet_size, FtdiPayload& payload) {
  if (packet_size <= 2) return;
  for (int start = 0; start < length; start += packet_size) {
    const int end = std::min(length, start + packet_size);
    if (end - start < 2) break;  // a torn packet carries no status
    payload.line_faults |= data[start + 1] & kFtdiLineFaults;
    payload.bytes.insert(payload.bytes.end(), data + start + 2, data + end);
  }
}

}  // namespace kestrum
