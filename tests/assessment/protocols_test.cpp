// SPDX-License-Identifier: GPL-3.0-or-later
// Each protocol's rules at their edges, and the refusals of its inputs.
#include <gtest/gtest.h>

#include <cmath>

#include "assessment/assessment.h"
#include "assessment/hours_builder.h"

namespace kestrum {
namespace {

using testing::At;
using testing::Hours;

CountedHours Counted(std::vector<HourlySample> samples, int clockUnset = 0) {
  CountedHours c;
  c.samples = std::move(samples);
  c.runOf.assign(c.samples.size(), 1);
  c.clockUnsetHours = clockUnset;
  return c;
}

TEST(UsShortTerm, ValidityDiscardAndResult) {
  struct Case {
    const char* name;
    int hours;
    double bqm3;
    int discard;
    int missing;  // index of an hour taken out, -1 for none
    int clockUnset;
    const char* invalid;
    int tenths;
    ShortTermAction action;
  };
  const Case cases[] = {
      {"45 after 4", 49, 150, 4, -1, 0, "too_short", 41, ShortTermAction::kFix},
      {"46 after 4", 50, 150, 4, -1, 0, "", 41, ShortTermAction::kFix},
      {"46 after 24", 70, 150, 24, -1, 0, "", 41, ShortTermAction::kFix},
      {"45 after 24", 69, 150, 24, -1, 0, "too_short", 41, ShortTermAction::kFix},
      {"3.949 rounds down", 50, 3.949 * 37, 4, -1, 0, "", 39, ShortTermAction::kConsider},
      {"3.95 rounds up", 50, 3.95 * 37, 4, -1, 0, "", 40, ShortTermAction::kFix},
      {"1.949 is low", 50, 1.949 * 37, 4, -1, 0, "", 19, ShortTermAction::kLow},
      {"1.95 is consider", 50, 1.95 * 37, 4, -1, 0, "", 20, ShortTermAction::kConsider},
      // A missing hour cannot be backed out, even within the discarded start.
      {"gap", 52, 150, 4, 30, 0, "gap", 41, ShortTermAction::kFix},
      {"gap in the start", 52, 150, 4, 2, 0, "gap", 41, ShortTermAction::kFix},
      {"clock unset", 50, 150, 4, -1, 12, "clock_unset", 41, ShortTermAction::kFix},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<HourlySample> s = Hours(At(2026, 3, 2, 10), c.hours, c.bqm3);
    if (c.missing >= 0) s.erase(s.begin() + c.missing);
    AssessmentRequest request;
    request.protocol = Protocol::kUsShortTerm;
    request.discardHours = c.discard;
    request.levels = {148};
    const Assessment a = Assess(Counted(s, c.clockUnset), request);
    EXPECT_EQ(a.test.invalid ? TestFaultName(*a.test.invalid) : "", std::string(c.invalid));
    EXPECT_EQ(a.test.discarded, c.discard);
    EXPECT_EQ(a.hours(), static_cast<int>(s.size()) - c.discard);
    EXPECT_EQ(a.first, s[static_cast<std::size_t>(c.discard)].time);
    EXPECT_EQ(a.test.resultTenths, c.tenths);
    EXPECT_EQ(a.test.action, c.action);
  }
}

TEST(Workplace, OccupiedHoursByTheirMiddle) {
  const OccupancySchedule s =
      OccupancySchedule::Parse("Mon-Fri 08:00-18:00,Sat 23:00-24:00").value();
  // 2 March 2026 is a Monday.
  const struct {
    DateTime end;
    bool occupied;
  } cases[] = {
      {At(2026, 3, 2, 8, 30), true},    // middle 08:00
      {At(2026, 3, 2, 8, 29), false},   // middle 07:59
      {At(2026, 3, 2, 18, 29), true},   // middle 17:59
      {At(2026, 3, 2, 18, 30), false},  // middle 18:00
      {At(2026, 3, 6, 12), true},       // Friday
      {At(2026, 3, 7, 12), false},      // Saturday noon
      {At(2026, 3, 8, 0), true},        // middle Saturday 23:30
      {At(2026, 3, 8, 12), false},      // Sunday
  };
  for (const auto& c : cases) EXPECT_EQ(s.Occupied(c.end), c.occupied) << c.end;
  EXPECT_EQ(s.ScheduledHours(0), 10);
  EXPECT_EQ(s.ScheduledHours(5), 1);
  EXPECT_EQ(s.ScheduledHours(6), 0);
}

TEST(Workplace, MeanOfOccupiedHoursAndWorkdays) {
  // A week from Monday 00:00: 200 Bq/m3 in office hours, 50 otherwise;
  // Wednesday holds only 7 of its 10 scheduled hours (under three quarters).
  std::vector<HourlySample> s;
  const OccupancySchedule office = OccupancySchedule::Parse(kDefaultSchedule).value();
  for (HourlySample h : Hours(At(2026, 3, 2), 7 * 24, 0)) {
    h.concentration = office.Occupied(h.time) ? 200 : 50;
    const bool wednesdayLate = h.time > At(2026, 3, 4, 15) && h.time < At(2026, 3, 5);
    if (!wednesdayLate) s.push_back(h);
  }
  AssessmentRequest request;
  request.protocol = Protocol::kWorkplace;
  const Assessment a = Assess(Counted(s), request);
  EXPECT_EQ(a.hours(), 47);
  EXPECT_NEAR(a.figures.mean, 200, 1e-9);
  EXPECT_EQ(a.figures.temporal.days, 4);
  EXPECT_NEAR(a.meanAll, (47 * 200.0 + (static_cast<double>(s.size()) - 47) * 50) / s.size(), 1e-9);
  EXPECT_EQ(a.schedule, kDefaultSchedule);
}

TEST(LongTerm, SeasonalFactorFromTheMonthsMeasured) {
  std::string text = "# winter high, summer low\nuncertainty=20\n01 1.5\n07 0.5\n";
  for (int m : {2, 3, 4, 5, 6, 8, 9, 10, 11, 12}) text += std::to_string(m) + " 1\n";
  const SeasonalProfile profile = ParseSeasonalProfile(text, "test").value();
  AssessmentRequest request;
  request.protocol = Protocol::kLongTerm;
  request.profile = profile;
  request.levels = {300};
  // Every case: 240 hours at 100 Bq/m3 from 100 pulses each, so counting is
  // 100 / sqrt(24000); equal days leave no day-to-day part; the assumed 10 %
  // calibration is 10 Bq/m3. Scaled by the factor and joined with the
  // profile's 20 % of the estimate:
  // sqrt((f 0.6455)^2 + (f 10)^2 + (100 f 0.2)^2).
  const struct {
    std::vector<HourlySample> samples;
    double factor;
    double uncertainty;
  } cases[] = {
      {Hours(At(2026, 7, 1), 10 * 24, 100), 2, 44.73999},
      {Hours(At(2026, 1, 1), 10 * 24, 100), 1 / 1.5, 14.91333},
      // Equal hours of January and July: factors 1.5 and 0.5 average to 1.
      {[] {
         auto s = Hours(At(2026, 1, 10), 5 * 24, 100);
         for (const HourlySample& h : Hours(At(2026, 7, 10), 5 * 24, 100)) s.push_back(h);
         return s;
       }(),
       1, 22.36999},
  };
  for (const auto& c : cases) {
    const Assessment a = Assess(Counted(c.samples), request);
    EXPECT_NEAR(a.seasonalFactor, c.factor, 1e-9);
    EXPECT_NEAR(a.annualEstimate, 100 * c.factor, 1e-9);
    EXPECT_NEAR(*a.estimateUncertainty, c.uncertainty, 1e-4);
  }
}

TEST(Annual, YearsOfTwelveCoveredMonths) {
  // 2025 whole, each month at 100 + month; 2026 with June 74 % covered.
  std::vector<HourlySample> s;
  for (int year : {2025, 2026}) {
    for (int month = 1; month <= 12; ++month) {
      const int days = DaysInMonth(year, month);
      int hours = days * 24;
      if (year == 2026 && month == 6) hours = static_cast<int>(days * 24 * 0.74);
      for (const HourlySample& h : Hours(At(year, month, 1), hours, 100 + month, 10)) {
        s.push_back(h);
      }
    }
  }
  AssessmentRequest request;
  request.protocol = Protocol::kAnnual;
  request.levels = {100, 300};
  const Assessment a = Assess(Counted(s), request);
  ASSERT_EQ(a.years.size(), 1u);
  EXPECT_EQ(a.years[0].year, 2025);
  EXPECT_NEAR(a.years[0].annualMean, 106.5, 1e-9);
  EXPECT_NEAR(a.years[0].parts.calibration, 10.65, 1e-9);
  EXPECT_EQ(a.years[0].levels[1].verdict, LevelVerdict::Below);
  EXPECT_FALSE(a.years[0].levels[0].moreDays);
}

TEST(Refusals, SchedulesAndProfilesNameTheWord) {
  for (const char* bad : {"Mon-Fri", "Mon-Fry 08:00-18:00", "Mon 18:00-08:00", "Mon 8:00-18:00",
                          "Mon 08:00-25:00", "Mon-Fri 08:00-18:00,"}) {
    const Result<OccupancySchedule> s = OccupancySchedule::Parse(bad);
    EXPECT_FALSE(s) << bad;
  }
  EXPECT_NE(OccupancySchedule::Parse("Mon-Fry 08:00-18:00").error().find("\"Mon-Fry\""),
            std::string::npos);
  std::string twelve;
  for (int m = 1; m <= 12; ++m) twelve += std::to_string(m) + " 1\n";
  const struct {
    std::string text;
    const char* word;
  } profiles[] = {
      {twelve.substr(0, twelve.rfind("12 1")), "12"},
      {twelve + "3 1\n", "\"3\""},
      {"01 0\n" + twelve.substr(4), "\"0\""},
      {"01 -1\n" + twelve.substr(4), "\"-1\""},
      {twelve + "13 1\n", "\"13\""},
      {twelve + "uncertainty=101\n", "uncertainty=101"},
      {twelve + "winter 1.2\n", "\"winter\""},
  };
  for (const auto& p : profiles) {
    const Result<SeasonalProfile> r = ParseSeasonalProfile(p.text, "file");
    ASSERT_FALSE(r) << p.text;
    EXPECT_NE(r.error().find(p.word), std::string::npos) << r.error();
  }
}

}  // namespace
}  // namespace kestrum
