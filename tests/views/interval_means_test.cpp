// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/interval_means.h"

#include <gtest/gtest.h>

#include <cmath>

#include "views/store_builder.h"

namespace kestrum {
namespace {

using testing::AddRun;
using testing::AddRunOfConcentrations;
using testing::kDay;
using testing::kHour;
using testing::MakeStore;

constexpr IntervalMeanOptions kWithError{true, false, false};

TEST(IntervalMeans, RunOfNPlusTwoSamplesGivesThreeMeansAndTwoErrorBars) {
  auto store = MakeStore(5.0L);
  const int run = AddRun(*store, kDay, {2, 4, 6, 8});  // 10, 20, 30, 40 Bq/m3
  const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, 2, kWithError);
  ASSERT_FALSE(s.tooShort);
  ASSERT_EQ(s.mean.size(), 3u);
  EXPECT_DOUBLE_EQ(s.mean[0].x, kDay + 2 * kHour);  // first window ends at sample 1
  EXPECT_DOUBLE_EQ(s.mean[0].y, 15.0);
  EXPECT_DOUBLE_EQ(s.mean[1].x, kDay + 3 * kHour);
  EXPECT_DOUBLE_EQ(s.mean[1].y, 25.0);
  EXPECT_DOUBLE_EQ(s.mean[2].y, 35.0);
  // The first window carries no error bar.
  ASSERT_EQ(s.meanWithError.size(), 2u);
  EXPECT_DOUBLE_EQ(s.meanWithError[0].x, kDay + 3 * kHour);
  EXPECT_DOUBLE_EQ(s.meanWithError[0].y, 25.0);
  EXPECT_NEAR(s.meanWithError[0].error, 25.0 / std::sqrt(10.0), 1e-12);  // 4 + 6 pulses
  EXPECT_NEAR(s.meanWithError[1].error, 35.0 / std::sqrt(14.0), 1e-12);  // 6 + 8 pulses
}

TEST(IntervalMeans, PointCountIsSamplesMinusIntervalPlusOne) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, std::vector<Extended>(30, 3));
  for (int n : {2, 4, 8, 12, 24}) {
    const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, n, kWithError);
    EXPECT_EQ(s.mean.size(), static_cast<std::size_t>(30 - n + 1)) << n;
    EXPECT_EQ(s.meanWithError.size(), static_cast<std::size_t>(30 - n)) << n;
  }
}

TEST(IntervalMeans, RunOneSampleShortOfTheIntervalIsTooShort) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, {1, 2, 3, 4, 5});  // L - F = 4
  const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, 4, kWithError);
  EXPECT_TRUE(s.tooShort);
  EXPECT_TRUE(s.mean.empty());
  EXPECT_TRUE(s.meanWithError.empty());
  EXPECT_FALSE(ComputeIntervalMeans(*store, run, 3, kWithError).tooShort);
}

TEST(IntervalMeans, RunningMeanAveragesFromTheFirstSample) {
  auto store = MakeStore(10.0L);
  const int run = AddRun(*store, kDay, {1, 2, 3, 6});  // 10, 20, 30, 60
  const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, 0, kWithError);
  ASSERT_EQ(s.mean.size(), 4u);
  EXPECT_DOUBLE_EQ(s.mean[0].x, kDay + kHour);
  EXPECT_DOUBLE_EQ(s.mean[0].y, 10.0);
  EXPECT_DOUBLE_EQ(s.mean[1].y, 15.0);
  EXPECT_DOUBLE_EQ(s.mean[2].y, 20.0);
  EXPECT_DOUBLE_EQ(s.mean[3].y, 30.0);
  // Every running-mean point has its bar; pulses behind them 1, 3, 6, 12.
  ASSERT_EQ(s.meanWithError.size(), 4u);
  EXPECT_DOUBLE_EQ(s.meanWithError[0].error, 10.0);  // one pulse: 100 per cent
  EXPECT_NEAR(s.meanWithError[1].error, 15.0 / std::sqrt(3.0), 1e-12);
  EXPECT_NEAR(s.meanWithError[3].error, 30.0 / std::sqrt(12.0), 1e-12);
}

TEST(IntervalMeans, FewerThanTwoPulsesGiveAHundredPerCentError) {
  auto store = MakeStore(6.0L);
  const int run = AddRun(*store, kDay, {0, 0, 0, 1, 0});
  const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, 2, kWithError);
  ASSERT_EQ(s.meanWithError.size(), 3u);
  EXPECT_DOUBLE_EQ(s.meanWithError[0].y, 0.0);  // window 1..2: 0 pulses
  EXPECT_DOUBLE_EQ(s.meanWithError[0].error, 0.0);
  EXPECT_DOUBLE_EQ(s.meanWithError[1].y, 3.0);  // window 2..3: 1 pulse
  EXPECT_DOUBLE_EQ(s.meanWithError[1].error, 3.0);
  EXPECT_DOUBLE_EQ(s.meanWithError[2].error, 3.0);
}

TEST(IntervalMeans, WindowPulsesSumTruncatedPulseCounts) {
  auto store = MakeStore(1.0L);
  // Pulses 2.9 each: truncated sums are 4, not 5.8.
  const int run = AddRun(*store, kDay, {2.9L, 2.9L, 2.9L, 2.9L});
  const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, 2, kWithError);
  ASSERT_EQ(s.meanWithError.size(), 2u);
  EXPECT_NEAR(s.meanWithError[0].y, 2.9, 1e-12);
  EXPECT_NEAR(s.meanWithError[0].error, 2.9 / 2.0, 1e-12);
}

TEST(IntervalMeans, FractionalConcentrationsAreAveragedExactly) {
  auto store = MakeStore();
  // Rounding the window sum after each step would make the first mean 6.0.
  const int run = AddRunOfConcentrations(*store, kDay, {6.5L, 6.5L, 6.5L, 6.5L});
  const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, 2, {});
  ASSERT_EQ(s.mean.size(), 3u);
  for (const ChartPoint& p : s.mean) EXPECT_DOUBLE_EQ(p.y, 6.5);
}

TEST(IntervalMeans, MeansDoNotDriftAlongALongRunWithANonIntegerFactor) {
  auto store = MakeStore(6.25L);
  std::vector<Extended> pulses;
  for (int k = 0; k < 2000; ++k) pulses.push_back((k * 37 + 11) % 23);
  const int run = AddRun(*store, kDay, pulses);
  for (int n : {2, 24}) {
    const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, n, {});
    ASSERT_EQ(s.mean.size(), pulses.size() - n + 1);
    // The point at sample j is the mean of samples j - n + 1 .. j.
    for (std::size_t p = 0; p < s.mean.size(); p += 97) {
      Extended pulseSum = 0;
      for (int i = 0; i < n; ++i) pulseSum += pulses[p + i];
      EXPECT_NEAR(s.mean[p].y, static_cast<double>(pulseSum * 6.25L / n), 1e-9) << n << " " << p;
    }
    Extended lastSum = 0;
    for (int i = 0; i < n; ++i) lastSum += pulses[pulses.size() - 1 - i];
    EXPECT_NEAR(s.mean.back().y, static_cast<double>(lastSum * 6.25L / n), 1e-9);
  }
}

TEST(IntervalMeans, EnvironmentalLinesFollowTheSecondPhase) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, {1, 2, 3, 4, 5, 6});
  const IntervalMeanSeries moving = ComputeIntervalMeans(*store, run, 4, {false, true, true});
  // A moving mean draws them from sample F + n on.
  ASSERT_EQ(moving.temperature.size(), 2u);
  EXPECT_DOUBLE_EQ(moving.temperature[0].x, kDay + 5 * kHour);
  EXPECT_DOUBLE_EQ(moving.temperature[0].y, 24.0);
  ASSERT_EQ(moving.humidity.size(), 2u);
  EXPECT_DOUBLE_EQ(moving.humidity[1].y, 45.0);
  EXPECT_TRUE(moving.meanWithError.empty());

  const IntervalMeanSeries running = ComputeIntervalMeans(*store, run, 0, {false, true, false});
  ASSERT_EQ(running.temperature.size(), 6u);
  EXPECT_DOUBLE_EQ(running.temperature[0].y, 20.0);
  EXPECT_TRUE(running.humidity.empty());
}

TEST(IntervalMeans, SampleStampedZeroIsSkippedInTheSecondPhase) {
  auto store = MakeStore(1.0L);
  const int run = AddRun(*store, kDay, {10, 10, 10, 40, 10});
  store->Samples[3].Time = 0;
  const IntervalMeanSeries s = ComputeIntervalMeans(*store, run, 0, {false, true, false});
  ASSERT_EQ(s.mean.size(), 4u);
  EXPECT_DOUBLE_EQ(s.mean[3].x, kDay + 5 * kHour);
  EXPECT_DOUBLE_EQ(s.mean[3].y, 10.0);  // the 40 was neither added nor counted
  EXPECT_EQ(s.temperature.size(), 4u);
}

TEST(IntervalMeans, RunIndexOutsideTheListOrDamagedEntryStaysInsideTheSamples) {
  auto store = MakeStore();
  AddRun(*store, kDay, {1, 2, 3});
  EXPECT_TRUE(ComputeIntervalMeans(*store, 200, 2, kWithError).tooShort);
  EXPECT_TRUE(ComputeIntervalMeans(*store, -1, 0, kWithError).tooShort);
  store->Runs[0].LastSample = 2000000;  // past the sample array
  const IntervalMeanSeries s = ComputeIntervalMeans(*store, 0, 2, kWithError);
  // The first window and sample 2; the unstamped records behind it are skipped.
  EXPECT_EQ(s.mean.size(), 2u);
}

}  // namespace
}  // namespace kestrum
