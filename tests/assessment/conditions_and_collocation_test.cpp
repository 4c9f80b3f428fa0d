// SPDX-License-Identifier: GPL-3.0-or-later
// Condition marks at the thresholds' edges, and two instruments side by side.
#include <gtest/gtest.h>

#include "assessment/collocation.h"
#include "assessment/condition_marks.h"
#include "hours_builder.h"

namespace kestrum::testing {
namespace {

TEST(ConditionMarksTest, OnlyChangesBeyondAThresholdFromTheHourBeforeAreMarked) {
  const DateTime start = At(2025, 1, 6, 10);
  const struct {
    const char* name;
    double dT, dRH, dP;
    bool gap;  // the hour before is missing
    bool marked;
  } cases[] = {
      {"3.0 °C exactly", 3.0, 0, 0, false, false},
      {"3.1 °C", 3.1, 0, 0, false, true},
      {"-3.1 °C: a drop counts as well", -3.1, 0, 0, false, true},
      {"10 points of humidity exactly", 0, 10.0, 0, false, false},
      {"10.1 points", 0, 10.1, 0, false, true},
      {"0.5 kPa exactly", 0, 0, 0.5, false, false},
      {"0.6 kPa", 0, 0, 0.6, false, true},
      {"a big jump across a gap", 9, 30, 2, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<HourlySample> hours = Hours(start, 3, 100);
    // 21.3 and 24.3 °C, as the sensor gives tenths.
    for (HourlySample& h : hours) h.temperature = 21.3;
    hours[2].temperature += c.dT;
    hours[2].humidity += c.dRH;
    hours[2].pressure += c.dP;
    if (c.gap) hours.erase(hours.begin() + 1);
    const std::vector<ConditionMark> marks = MarkConditionChanges(hours, {});
    ASSERT_EQ(marks.size(), c.marked ? 1u : 0u);
    if (c.marked) {
      EXPECT_DOUBLE_EQ(marks[0].time, hours.back().time);
      EXPECT_NEAR(marks[0].temperatureChange, c.dT, 1e-9);
    }
  }
  // A channel the instrument lacks marks nothing.
  std::vector<HourlySample> hours = Hours(start, 2, 100);
  hours[1].pressure += 5;
  EXPECT_TRUE(MarkConditionChanges(hours, {3.0, 10.0, std::nullopt}).empty());

  EXPECT_TRUE(ParseConditionThresholds("2.5,8,0.3"));
  for (const char* bad : {"", "3,10", "3,10,0.5,1", "3,-1,0.5", "3,x,0.5", "3,10,inf", "3,,0.5"}) {
    EXPECT_FALSE(ParseConditionThresholds(bad)) << bad;
  }
}

TEST(CollocationTest, MeansOverTheSharedHoursAndTheirRelativeDifference) {
  // Two monitors side by side, clocks 20 minutes apart; the second starts later.
  const std::vector<HourlySample> a = Hours(At(2025, 2, 1, 10), 48, 110);
  std::vector<HourlySample> b = Hours(At(2025, 2, 1, 22, 20), 48, 90);
  b[0].concentration = 1000;  // its first hour lies beside a's 13th
  const Collocation c = Collocate(a, b);
  EXPECT_EQ(c.sharedHours, 36);
  EXPECT_DOUBLE_EQ(c.ownMean, 110);
  EXPECT_DOUBLE_EQ(c.otherMean, (1000 + 35 * 90) / 36.0);
  EXPECT_NEAR(c.RelativePercentDifference(),
              std::abs(110 - c.otherMean) / ((110 + c.otherMean) / 2) * 100, 1e-12);
  // Apart in time: nothing shared, nothing to compare.
  const Collocation apart = Collocate(a, Hours(At(2025, 3, 1), 10, 90));
  EXPECT_EQ(apart.sharedHours, 0);
  EXPECT_EQ(apart.RelativePercentDifference(), 0);
}

}  // namespace
}  // namespace kestrum::testing
