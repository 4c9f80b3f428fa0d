// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/ticking_sleeper.h"
#include "link/port_trace.h"

namespace kestrum {
namespace {

TEST(TickingSleeperTest, LongWaitsTickEverySecondButTraceOnce) {
  std::vector<int> pieces;
  std::vector<std::string> ticks;
  std::vector<std::string> trace;
  SetSleeper(SecondTickingSleeper([&pieces](int ms) { pieces.push_back(ms); },
                                  [&ticks](int elapsed, int total) {
                                    ticks.push_back(std::to_string(elapsed) + "/" +
                                                    std::to_string(total));
                                  }));
  SetPortTraceSink([&trace](const std::string& line) { trace.push_back(line); });

  WaitMilliseconds(2500);
  WaitMilliseconds(25);

  SetSleeper({});
  SetPortTraceSink({});
  EXPECT_EQ(pieces, (std::vector<int>{1000, 1000, 500, 25}));
  EXPECT_EQ(ticks, (std::vector<std::string>{"1000/2500", "2000/2500", "2500/2500"}));
  EXPECT_EQ(trace, (std::vector<std::string>{"sleep 2500", "sleep 25"}));
}

}  // namespace
}  // namespace kestrum
