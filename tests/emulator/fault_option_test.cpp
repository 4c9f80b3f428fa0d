// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "emulator/fault_option.h"

namespace kestrum {
namespace {

using Kind = FaultOption::Kind;

TEST(FaultOption, EachKindWithItsValue) {
  const struct {
    const char* text;
    Kind kind;
    std::uint64_t count;
    std::vector<std::uint8_t> bytes;
    ReplyKind target = ReplyKind::kAny;
  } cases[] = {
      {"pass", Kind::kPass, 0, {}},
      {"silent", Kind::kSilent, 0, {}},
      {"short=5", Kind::kShort, 5, {}},
      {"garbage=00fF3a", Kind::kGarbage, 0, {0x00, 0xFF, 0x3A}},
      {"unplug-after=131072", Kind::kUnplugAfter, 131072, {}},
      {"silent@identify", Kind::kSilent, 0, {}, ReplyKind::kIdentify},
      {"short=100@memory", Kind::kShort, 100, {}, ReplyKind::kMemory},
      {"garbage=00@parameters", Kind::kGarbage, 0, {0x00}, ReplyKind::kParameters},
      {"silent@coefficients", Kind::kSilent, 0, {}, ReplyKind::kCoefficients},
      {"short=0@erase", Kind::kShort, 0, {}, ReplyKind::kEraseAcknowledgement},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const Result<FaultOption> fault = ParseFaultOption(c.text);
    ASSERT_TRUE(fault) << fault.error();
    EXPECT_EQ(fault->kind, c.kind);
    EXPECT_EQ(fault->count, c.count);
    EXPECT_EQ(fault->bytes, c.bytes);
    EXPECT_EQ(fault->target, c.target);
  }
}

TEST(FaultOption, WhatNamesNoFaultIsRefusedWithAMessage) {
  for (const char* text : {"", "loud", "pass=1", "short", "short=-1", "short=2x", "unplug-after=",
                           "garbage=", "garbage=0", "garbage=zz", "silent@", "silent@clock",
                           "pass@memory", "unplug-after=5@memory", "short@memory"}) {
    SCOPED_TRACE(text);
    const Result<FaultOption> fault = ParseFaultOption(text);
    EXPECT_FALSE(fault);
    EXPECT_FALSE(fault.error().empty());
  }
}

}  // namespace
}  // namespace kestrum
