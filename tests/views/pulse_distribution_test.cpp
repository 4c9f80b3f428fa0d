// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/pulse_distribution.h"

#include <gtest/gtest.h>

#include "views/store_builder.h"

namespace kestrum {
namespace {

using testing::AddRun;
using testing::kDay;
using testing::kHour;
using testing::MakeStore;

TEST(PulseDistribution, OneBarPerSampleWithItsError) {
  auto store = MakeStore(6.0L);
  AddRun(*store, kDay, {1, 2});
  const int run = AddRun(*store, kDay + 5, {4, 3});
  const PulseDistributionSeries s = ComputePulseDistribution(*store, run, {});
  ASSERT_EQ(s.pulses.size(), 2u);
  EXPECT_DOUBLE_EQ(s.pulses[0].x, kDay + 5 + kHour);
  EXPECT_DOUBLE_EQ(s.pulses[0].y, 24.0);
  EXPECT_DOUBLE_EQ(s.pulses[0].error, 12.0);
  EXPECT_DOUBLE_EQ(s.pulses[1].y, 18.0);
  EXPECT_DOUBLE_EQ(s.pulses[1].error, 10.0);  // 10.39 truncated by the decoder
  EXPECT_TRUE(s.temperature.empty());
  EXPECT_TRUE(s.humidity.empty());
  EXPECT_TRUE(s.pressure.empty());
}

TEST(PulseDistribution, ZeroConcentrationIsDrawnAsATenthAroundZero) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, {0, 2});
  store->Samples[0].Error = 7;  // ignored for a zero concentration
  const PulseDistributionSeries s = ComputePulseDistribution(*store, run, {});
  ASSERT_EQ(s.pulses.size(), 2u);
  EXPECT_DOUBLE_EQ(s.pulses[0].y, 0.0);
  EXPECT_DOUBLE_EQ(s.pulses[0].error, 0.1);
}

TEST(PulseDistribution, SampleStampedZeroIsInNoLine) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, {1, 2, 3});
  store->Samples[1].Time = 0;
  const PulseDistributionSeries s = ComputePulseDistribution(*store, run, {true, true, true});
  EXPECT_EQ(s.pulses.size(), 2u);
  EXPECT_EQ(s.temperature.size(), 2u);
  EXPECT_EQ(s.humidity.size(), 2u);
  ASSERT_EQ(s.pressure.size(), 2u);
  EXPECT_DOUBLE_EQ(s.pressure[1].x, kDay + 3 * kHour);
  EXPECT_DOUBLE_EQ(s.pressure[1].y, 102.0);
}

TEST(PulseDistribution, EnvironmentalLinesFollowTheirSwitches) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, {1, 2, 3});
  const PulseDistributionSeries s = ComputePulseDistribution(*store, run, {true, false, false});
  ASSERT_EQ(s.temperature.size(), 3u);
  EXPECT_DOUBLE_EQ(s.temperature[2].y, 22.0);
  EXPECT_TRUE(s.humidity.empty());
  EXPECT_TRUE(s.pressure.empty());
}

TEST(PulseDistribution, AllMeasurementsEntrySpansEveryRun) {
  auto store = MakeStore();
  AddRun(*store, kDay, {1, 2});
  AddRun(*store, kDay + 3, {3, 4, 5});
  const PulseDistributionSeries s =
      ComputePulseDistribution(*store, store->RunCount, {false, true, false});
  ASSERT_EQ(s.pulses.size(), 5u);
  EXPECT_DOUBLE_EQ(s.pulses[4].x, kDay + 3 + 3 * kHour);
  EXPECT_EQ(s.humidity.size(), 5u);
}

TEST(PulseDistribution, EmptyOrUnknownRunGivesNoBars) {
  auto store = MakeStore();
  AddRun(*store, kDay, {1, 2});
  store->Runs[0].LastSample = -1;  // below FirstSample
  EXPECT_TRUE(ComputePulseDistribution(*store, 0, {true, true, true}).pulses.empty());
  EXPECT_TRUE(ComputePulseDistribution(*store, 255, {}).pulses.empty());
}

}  // namespace
}  // namespace kestrum
