// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Monthly means of a long measurement and, where the months allow it, the
// annual mean: what a long-term radon level is judged by.

#include <optional>
#include <vector>

#include "assessment/daily_means.h"

namespace kestrum {

struct MonthlyMean {
  int year = 0;
  int month = 0;
  int count = 0;        // samples
  double coverage = 0;  // count / hours of the month, 0..1
  double mean = 0;      // Bq/m3
};

// A month counts towards the annual mean when at least this share of its
// hours was measured.
inline constexpr double kAnnualMonthCoverage = 0.75;

struct AnnualMean {
  int fromYear = 0;  // the first of the twelve months
  int fromMonth = 0;
  double mean = 0;  // the mean of the twelve monthly means, Bq/m3
};

// From the daily means of a summary, in calendar order.
std::vector<MonthlyMean> MonthlyMeans(const std::vector<DailyMean>& days);

// The latest run of twelve consecutive calendar months that are each at
// least 75 % covered; none when there is no such run. Each month weighs
// the same, so a season measured more densely does not pull the year.
std::optional<AnnualMean> AnnualMeanOf(const std::vector<MonthlyMean>& months);

}  // namespace kestrum
