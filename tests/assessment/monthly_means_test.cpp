// SPDX-License-Identifier: GPL-3.0-or-later
// Monthly means and the annual mean from hand-built daily means.
#include <gtest/gtest.h>

#include "assessment/monthly_means.h"
#include "records/date_time.h"

namespace kestrum {
namespace {

// Every day of the months from (year, month) on, `hours` samples a day at
// `mean`, for `count` months; months listed in `gaps` get 12 hours a day.
std::vector<DailyMean> Days(int year, int month, int count, double mean,
                            std::vector<int> gaps = {}) {
  std::vector<DailyMean> days;
  for (int m = 0; m < count; ++m) {
    const bool gap = std::find(gaps.begin(), gaps.end(), m) != gaps.end();
    for (int d = 1; d <= DaysInMonth(year, month); ++d) {
      days.push_back({year, month, d, gap ? 12 : 24, mean + m});
    }
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  return days;
}

TEST(MonthlyMeans, MeansAndCoverageOfEachMonth) {
  std::vector<DailyMean> days = {
      {2026, 1, 30, 24, 100}, {2026, 1, 31, 12, 200}, {2026, 2, 1, 6, 50}};
  const auto months = MonthlyMeans(days);
  ASSERT_EQ(months.size(), 2u);
  EXPECT_EQ(months[0].count, 36);
  EXPECT_NEAR(months[0].mean, (24 * 100.0 + 12 * 200.0) / 36, 1e-9);
  EXPECT_NEAR(months[0].coverage, 36.0 / (31 * 24), 1e-12);
  EXPECT_NEAR(months[1].coverage, 6.0 / (28 * 24), 1e-12);
}

TEST(MonthlyMeans, AnnualMeanNeedsTwelveConsecutiveCoveredMonths) {
  struct Case {
    const char* name;
    std::vector<DailyMean> days;
    bool defined;
    int fromYear, fromMonth;
    double mean;
  };
  // Months at 100, 101, ... 100 + k: the mean of twelve from k = a is 105.5 + a.
  const std::vector<Case> cases = {
      {"eleven months", Days(2025, 3, 11, 100), false, 0, 0, 0},
      {"twelve months over a new year", Days(2025, 3, 12, 100), true, 2025, 3, 105.5},
      {"a half-covered month breaks the run", Days(2025, 1, 14, 100, {5}), false, 0, 0, 0},
      {"the latest twelve of fourteen", Days(2025, 1, 14, 100), true, 2025, 3, 107.5},
      {"a gap before twelve good months", Days(2024, 1, 15, 100, {1}), true, 2024, 4, 108.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto annual = AnnualMeanOf(MonthlyMeans(c.days));
    ASSERT_EQ(annual.has_value(), c.defined);
    if (!annual) continue;
    EXPECT_EQ(annual->fromYear, c.fromYear);
    EXPECT_EQ(annual->fromMonth, c.fromMonth);
    EXPECT_NEAR(annual->mean, c.mean, 1e-9);
  }
  // A month missing from the list entirely is no neighbour either.
  std::vector<DailyMean> skipped = Days(2025, 1, 6, 100);
  const std::vector<DailyMean> later = Days(2025, 8, 7, 100);
  skipped.insert(skipped.end(), later.begin(), later.end());
  EXPECT_FALSE(AnnualMeanOf(MonthlyMeans(skipped)));
}

}  // namespace
}  // namespace kestrum
