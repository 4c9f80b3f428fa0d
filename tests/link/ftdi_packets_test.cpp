// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ftdi_packets.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(FtdiPacketsTest, StatusBytesAreStrippedAndLineFaultsCollected) {
  struct Case {
    const char* what;
    Bytes transfer;
    int packet;
    Bytes payload;
    std::uint8_t faults;
  };
  Bytes two_full(8, 0);
  const Case cases[] = {
      {"status only", {0x01, 0x60}, 4, {}, 0},
      {"two packets and a short one",
       {0x01, 0x60, 1, 2, 0x01, 0x60, 3, 4, 0x01, 0x60, 5},
       4,
       {1, 2, 3, 4, 5},
       0},
      {"overrun in the second packet",
       {0x01, 0x60, 1, 2, 0x01, 0x62, 3, 4},
       4,
       {1, 2, 3, 4},
       kFtdiLineOverrun},
      {"framing and parity", {0x01, 0x6C, 9}, 4, {9}, kFtdiLineFraming | kFtdiLineParity},
      {"break and transmitter bits are no fault", {0x01, 0x70}, 4, {}, 0},
      {"a torn tail carries nothing", {0x01, 0x60, 7, 8, 0x01}, 4, {7, 8}, 0},
  };
  for (const Case& c : cases) {
    FtdiPayload payload;
    SplitFtdiPackets(c.transfer.data(), static_cast<int>(c.transfer.size()), c.packet, payload);
    EXPECT_EQ(payload.bytes, c.payload) << c.what;
    EXPECT_EQ(payload.line_faults, c.faults) << c.what;
  }
}

}  // namespace
}  // namespace kestrum
