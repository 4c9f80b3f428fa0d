// SPDX-License-Identifier: GPL-3.0-or-later
// The big-endian and BCD writers give back what the readers take.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "records/bcd.h"
#include "records/big_endian.h"

namespace kestrum {
namespace {

TEST(ByteWriters, BigEndianRoundTripAtAnOffset) {
  for (const std::uint32_t value : {0x0u, 0xFFu, 0xFFFFu, 0xFFFFFFu, 0x123456u}) {
    // Guard bytes on both sides must stay as they are.
    std::array<std::uint8_t, 6> bytes;
    bytes.fill(0xA5);
    PutBigEndian24(bytes.data(), 1, value);
    EXPECT_EQ(BigEndian24(bytes.data(), 1), value) << value;
    EXPECT_EQ(bytes[0], 0xA5);
    EXPECT_EQ(bytes[4], 0xA5);

    bytes.fill(0xA5);
    PutBigEndian16(bytes.data(), 2, value);
    EXPECT_EQ(BigEndian16(bytes.data(), 2), value & 0xFFFF) << value;
    EXPECT_EQ(bytes[1], 0xA5);
    EXPECT_EQ(bytes[4], 0xA5);
  }
  std::array<std::uint8_t, 3> bytes{};
  PutBigEndian24(bytes.data(), 0, 0x123456);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 3>{0x12, 0x34, 0x56}));  // most significant first
}

TEST(ByteWriters, BcdRoundTripWithDecimalDigits) {
  for (int value = 0; value <= 99; ++value) {
    const std::uint8_t bcd = ByteToBcd(value);
    EXPECT_LT(bcd >> 4, 10) << value;
    EXPECT_LT(bcd & 0x0F, 10) << value;
    EXPECT_EQ(BcdToByte(bcd), value);
  }
  EXPECT_EQ(ByteToBcd(59), 0x59);
}

}  // namespace
}  // namespace kestrum
