// SPDX-License-Identifier: GPL-3.0-or-later
// The day-to-day variation, full days, and the days a verdict still needs,
// on hand-built daily means and hand-computed figures.
#include <gtest/gtest.h>

#include <cmath>

#include "assessment/hours_builder.h"
#include "assessment/level_verdicts.h"

namespace kestrum {
namespace {

using testing::At;
using testing::Hours;

TEST(DayToDay, DeviationAutocorrelationAndEffectiveDays) {
  struct Case {
    std::vector<double> days;
    double deviation;
    double r;
    double effective;
    std::optional<double> u;
  };
  std::vector<double> ramp;
  for (int i = 0; i < 50; ++i) ramp.push_back(100 + i);
  const Case cases[] = {
      // Neighbours unlike: r below 0 is taken as 0.
      {{100, 120, 110, 130}, std::sqrt(500.0 / 3), 0, 4, std::sqrt(500.0 / 3) / 2},
      // r = 400 / 1000.
      {{100, 110, 120, 130, 140},
       std::sqrt(250.0),
       0.4,
       5 * 0.6 / 1.4,
       std::sqrt(250.0) / std::sqrt(5 * 0.6 / 1.4)},
      // A steady climb is clamped at 0.9.
      {ramp, std::sqrt(212.5), 0.9, 50 * 0.1 / 1.9, std::sqrt(212.5) / std::sqrt(50 * 0.1 / 1.9)},
      {{50, 50, 50}, 0, 0, 3, 0.0},
      {{50, 80}, std::sqrt(450.0), 0, 2, std::nullopt},
  };
  for (const Case& c : cases) {
    const DayToDay d = DayToDayVariation(c.days);
    EXPECT_NEAR(d.deviation, c.deviation, 1e-9);
    EXPECT_NEAR(d.autocorrelation, c.r, 1e-9);
    EXPECT_NEAR(d.effectiveDays, c.effective, 1e-9);
    ASSERT_EQ(d.uncertainty.has_value(), c.u.has_value());
    if (c.u) {
      EXPECT_NEAR(*d.uncertainty, *c.u, 1e-9);
    }
  }
}

TEST(DayToDay, ADayCountsWithEighteenHours) {
  // 17 hours on 2 March, 18 on 3 March, 24 on 4 March; the sample stamped
  // 00:00 closes the day before.
  std::vector<HourlySample> s = Hours(At(2026, 3, 2, 7), 17, 10);
  for (const HourlySample& h : Hours(At(2026, 3, 3, 6), 18, 20)) s.push_back(h);
  for (const HourlySample& h : Hours(At(2026, 3, 4, 0), 24, 30)) s.push_back(h);
  EXPECT_EQ(FullDayMeans(s), (std::vector<double>{20, 30}));
}

MeanUncertainty Parts(double mean, int hours, double counting, int days, double deviation,
                      double calibration) {
  MeanUncertainty p;
  p.mean = mean;
  p.hours = hours;
  p.counting = counting;
  p.temporal.days = days;
  p.temporal.deviation = deviation;
  p.temporal.effectiveDays = days;
  p.temporal.uncertainty = deviation / std::sqrt(days);
  p.calibration = calibration;
  return p;
}

TEST(LevelVerdicts, VerdictAndTheDaysThatWouldTell) {
  struct Case {
    MeanUncertainty parts;
    double level;
    LevelVerdict verdict;
    std::optional<int> more;
    OpenReason reason;
  };
  const Case cases[] = {
      // u = sqrt(25 + 3600 / 3 + 100) = 36.4: 200 + 72.8 < 300.
      {Parts(200, 72, 5, 3, 60, 10), 300, LevelVerdict::Below, 0, OpenReason::kNone},
      // u^2 = 25 x 72 / (72 + 24 N) + 22500 / (3 + N) + 100 falls under 2500 at N = 7.
      {Parts(200, 72, 5, 3, 150, 10), 300, LevelVerdict::Undecided, 7, OpenReason::kNone},
      // The calibration alone (2 x 26 > 40) keeps 300 in reach.
      {Parts(260, 72, 5, 3, 30, 26), 300, LevelVerdict::Undecided, std::nullopt,
       OpenReason::kTooClose},
      {Parts(400, 48, 5, 2, 10, 10), 100, LevelVerdict::Undecided, std::nullopt,
       OpenReason::kTooShort},
  };
  for (const Case& c : cases) {
    const LevelOutcome o = JudgeLevel(JudgedMean(c.parts), c.level);
    EXPECT_EQ(o.verdict, c.verdict);
    EXPECT_EQ(o.moreDays, c.more);
    EXPECT_EQ(o.reason, c.reason);
  }
  EXPECT_TRUE(JudgeLevel(JudgedMean(Parts(260, 72, 5, 3, 30, 26)), 300).calibrationSpans);
}

TEST(LevelVerdicts, UncertaintyOfTheMeanFromItsParts) {
  // Four full days at 100, 120, 110 and 130 Bq/m3, 50 pulses an hour.
  std::vector<HourlySample> s;
  const double values[] = {100, 120, 110, 130};
  for (int d = 0; d < 4; ++d) {
    for (const HourlySample& h : Hours(At(2026, 1, 5 + d), 24, values[d], 50)) s.push_back(h);
  }
  const MeanUncertainty u = UncertaintyOfMean(s, FullDayMeans(s), 10);
  EXPECT_NEAR(u.mean, 115, 1e-9);
  EXPECT_NEAR(*u.counting, 115 / std::sqrt(96 * 50.0), 1e-9);
  EXPECT_NEAR(u.calibration, 11.5, 1e-9);
  const double t = std::sqrt(500.0 / 3) / 2;
  EXPECT_NEAR(*u.combined, std::sqrt(115 * 115 / 4800.0 + t * t + 11.5 * 11.5), 1e-9);
}

}  // namespace
}  // namespace kestrum
