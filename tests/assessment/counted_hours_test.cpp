// SPDX-License-Identifier: GPL-3.0-or-later
// Which hours count: overlaps, clock-unset runs, exclusions, versions, sites.
#include <gtest/gtest.h>

#include "assessment/counted_hours.h"
#include "assessment/daily_means.h"
#include "assessment/hours_builder.h"
#include "assessment/monthly_means.h"

namespace kestrum {
namespace {

using testing::At;
using testing::Hours;

struct RunSpec {
  DateTime start;
  int hours;
  double value;
  bool excluded = false;
  bool conflict = false;
  bool clockUnset = false;
  const char* site = "";
};

struct Case {
  const char* name;
  std::vector<RunSpec> runs;
  int counted;
  int overlap;
  int clockUnset;
  int excluded;
  double mean;  // of the counted hours
};

TEST(CountedHours, EachHourOnceByTheRulesOfCounting) {
  const DateTime d = At(2025, 5, 30);
  const Case cases[] = {
      // The later run covers 24 of the earlier run's 72 hours.
      {"later run wins",
       {{d, 72, 100}, {d + 1.5, 24, 200}},
       72,
       24,
       0,
       0,
       (48 * 100.0 + 24 * 200) / 72},
      // Half an hour off: 25 earlier hours share time with the later run.
      {"partial hours",
       {{d, 72, 100}, {d + 1.5 + 1.0 / 48, 24, 200}},
       71,
       25,
       0,
       0,
       (47 * 100.0 + 24 * 200) / 71},
      // The earlier run is ordered after the later one in the list: start decides.
      {"order of the list",
       {{d + 1.5, 24, 200}, {d, 72, 100}},
       72,
       24,
       0,
       0,
       (48 * 100.0 + 24 * 200) / 72},
      {"clock unset",
       {{d, 24, 100}, {At(2000, 1, 1), 30, 999, false, false, true}},
       24,
       0,
       30,
       0,
       100},
      {"excluded later run takes nothing",
       {{d, 72, 100}, {d + 1.5, 24, 200, true}},
       72,
       0,
       0,
       24,
       100},
      {"longest version",
       {{d, 10, 100, false, true}, {d, 12, 130, false, true}},
       12,
       0,
       0,
       10,
       130},
  };
  for (const Case& c : cases) {
    std::vector<std::vector<HourlySample>> samples;
    for (const RunSpec& r : c.runs) samples.push_back(Hours(r.start, r.hours, r.value));
    std::vector<RunHours> runs;
    for (std::size_t i = 0; i < c.runs.size(); ++i) {
      const RunSpec& r = c.runs[i];
      runs.push_back({static_cast<std::int64_t>(i + 1), r.start, r.site, r.excluded, r.conflict,
                      r.clockUnset, &samples[i]});
    }
    const CountedHours counted = CountHours(runs, -1e9, 1e9);
    SCOPED_TRACE(c.name);
    ASSERT_EQ(static_cast<int>(counted.samples.size()), c.counted);
    EXPECT_EQ(counted.overlapHours, c.overlap);
    EXPECT_EQ(counted.excludedHours, c.excluded);
    EXPECT_EQ(counted.clockUnsetHours, c.clockUnset);
    double sum = 0;
    for (std::size_t i = 0; i < counted.samples.size(); ++i) {
      sum += counted.samples[i].concentration;
      // In time order, and no two counted hours share a minute.
      if (i > 0) {
        EXPECT_GE(counted.samples[i].time - counted.samples[i - 1].time, 1.0 / 48);
      }
    }
    EXPECT_NEAR(sum / c.counted, c.mean, 1e-9);
  }
}

TEST(CountedHours, OverlapAcrossAMonthBoundaryKeepsEachMonthWhole) {
  // Two runs of one instrument: the second started (clock set back) before
  // the first ended, across the end of May.
  const auto first = Hours(At(2025, 5, 1), 45 * 24, 100);
  const auto second = Hours(At(2025, 5, 31), 31 * 24, 100);
  const std::vector<RunHours> runs = {{1, At(2025, 5, 1), "", false, false, false, &first},
                                      {2, At(2025, 5, 31), "", false, false, false, &second}};
  const CountedHours counted = CountHours(runs, -1e9, 1e9);
  EXPECT_EQ(counted.overlapHours, 15 * 24);
  const std::vector<MonthlyMean> months = MonthlyMeans(CalendarDays(counted.samples));
  ASSERT_EQ(months.size(), 2u);
  EXPECT_EQ(months[0].month, 5);
  EXPECT_EQ(months[1].month, 6);
  EXPECT_LE(months[0].coverage, 1.0);
  EXPECT_NEAR(months[1].coverage, 1.0, 1e-9);
}

TEST(CountedHours, SitesAreCountedApartAfterOverlapsAreSettled) {
  const auto cellar = Hours(At(2025, 1, 1), 48, 300);
  const auto bedroom = Hours(At(2025, 1, 2), 48, 90);
  const std::vector<RunHours> runs = {{1, At(2025, 1, 1), "Cellar", false, false, false, &cellar},
                                      {2, At(2025, 1, 2), "", false, false, false, &bedroom}};
  const std::string site = "Cellar";
  const CountedHours ofCellar = CountHours(runs, -1e9, 1e9, &site);
  EXPECT_EQ(ofCellar.samples.size(), 24u);  // the bedroom run took the second day
  EXPECT_EQ(ofCellar.overlapHours, 24);
  const std::vector<SiteHours> sites = CountHoursPerSite(runs, -1e9, 1e9);
  ASSERT_EQ(sites.size(), 2u);
  EXPECT_EQ(sites[0].site, "Cellar");
  EXPECT_EQ(sites[1].site, "");
  EXPECT_EQ(sites[0].hours.samples.size(), 24u);
  EXPECT_EQ(sites[1].hours.samples.size(), 48u);
}

}  // namespace
}  // namespace kestrum
