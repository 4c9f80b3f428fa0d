// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/mean_fallback.h"

#include <gtest/gtest.h>

#include "views/interval_table.h"
#include "views/store_builder.h"

namespace kestrum {
namespace {

using testing::AddRun;
using testing::kDay;
using testing::MakeStore;

TEST(MeanFallback, RunningMeanOnOneSampleWalksDownToTwoHours) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, {5});
  const MeanFallbackResult r =
      ComputeMeansWithFallback(*store, run, kRunningMeanItem, {true, true, true});
  // "Mean", "7d", "2d", "24h", "12h", "8h", "4h", "2h": one message each.
  EXPECT_EQ(r.fallbackMessages, 8);
  EXPECT_EQ(r.itemIndex, 0);
  EXPECT_EQ(IntervalTitleLine(r.itemIndex), "2h-Mean");
  EXPECT_TRUE(r.series.tooShort);
  EXPECT_TRUE(r.series.mean.empty());
  EXPECT_TRUE(r.series.temperature.empty());
}

TEST(MeanFallback, StopsAtTheFirstIntervalThatFits) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, std::vector<Extended>(10, 4));         // L - F = 9
  const MeanFallbackResult r = ComputeMeansWithFallback(*store, run, 4, {});  // "24h"
  EXPECT_EQ(r.fallbackMessages, 2);                                           // "24h", "12h"
  EXPECT_EQ(r.itemIndex, 2);                                                  // "8h"
  EXPECT_FALSE(r.series.tooShort);
  EXPECT_EQ(r.series.mean.size(), 3u);  // 10 - 8 + 1
}

TEST(MeanFallback, RunLongEnoughNeedsNoMessage) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, {1, 2});
  const MeanFallbackResult r = ComputeMeansWithFallback(*store, run, kRunningMeanItem, {});
  EXPECT_EQ(r.fallbackMessages, 0);
  EXPECT_EQ(r.itemIndex, kRunningMeanItem);
  EXPECT_EQ(r.series.mean.size(), 2u);
}

TEST(MeanFallback, ThreeSamplesAreTooFewEvenForTwoHours) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, {1, 2, 3});  // L - F = 2 = n
  const MeanFallbackResult r = ComputeMeansWithFallback(*store, run, 1, {});
  EXPECT_EQ(r.fallbackMessages, 2);
  EXPECT_EQ(r.itemIndex, 0);
  EXPECT_TRUE(r.series.tooShort);
}

TEST(MeanFallback, NoItemChosenComputesNothing) {
  auto store = MakeStore();
  const int run = AddRun(*store, kDay, std::vector<Extended>(50, 1));
  const MeanFallbackResult r = ComputeMeansWithFallback(*store, run, -1, {});
  EXPECT_EQ(r.itemIndex, -1);
  EXPECT_EQ(r.fallbackMessages, 0);
  EXPECT_TRUE(r.series.mean.empty());
}

TEST(IntervalTable, ItemsSelectTheirHoursAndTitles) {
  const int hours[] = {2, 4, 8, 12, 24, 48, 168, 0};
  const char* titles[] = {"2h-Mean",  "4h-Mean", "8h-Mean", "12h-Mean",
                          "24h-Mean", "2d-Mean", "7d-Mean", "Mean"};
  for (int i = 0; i < kIntervalItemCount; ++i) {
    EXPECT_EQ(IntervalSamples(i), hours[i]);
    EXPECT_EQ(IntervalTitleLine(i), titles[i]);
    EXPECT_EQ(IntervalItemFromText(IntervalItemText(i)), i);
  }
  EXPECT_EQ(IntervalSamples(8), -1);
  EXPECT_EQ(IntervalSamples(-1), -1);
  EXPECT_EQ(IntervalItemFromText("3h"), std::nullopt);
  EXPECT_EQ(IntervalItemFromText("2d"), 5);
}

}  // namespace
}  // namespace kestrum
