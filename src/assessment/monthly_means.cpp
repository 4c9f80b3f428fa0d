// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/monthly_means.h"

#include "records/date_time.h"

namespace kestrum {
namespace {

int MonthNumber(int year, int month) {
  return year * 12 + (month - 1);
}

}  // namespace

std::vector<MonthlyMean> MonthlyMeans(const std::vector<DailyMean>& days) {
  std::vector<MonthlyMean> months;
  // Sums in extended precision: a year of daily means adds up without drift.
  Extended sum = 0;
  auto close = [&]() {
    if (months.empty()) return;
    MonthlyMean& m = months.back();
    m.mean = static_cast<double>(sum / m.count);
    m.coverage = static_cast<double>(m.count) / (DaysInMonth(m.year, m.month) * 24.0);
  };
  for (const DailyMean& day : days) {
    if (day.count <= 0) continue;
    if (months.empty() || months.back().year != day.year || months.back().month != day.month) {
      close();
      months.push_back({day.year, day.month, 0, 0, 0});
      sum = 0;
    }
    months.back().count += day.count;
    sum += static_cast<Extended>(day.mean) * day.count;
  }
  close();
  return months;
}

std::optional<AnnualMean> AnnualMeanOf(const std::vector<MonthlyMean>& months) {
  // Walk back from the latest month, counting consecutive covered months.
  int run = 0;
  for (std::size_t i = months.size(); i-- > 0;) {
    const MonthlyMean& m = months[i];
    const bool follows = run > 0 && MonthNumber(m.year, m.month) + 1 ==
                                        MonthNumber(months[i + 1].year, months[i + 1].month);
    if (m.coverage + 1e-12 < kAnnualMonthCoverage) {
      run = 0;
      continue;
    }
    run = (run == 0 || follows) ? run + 1 : 1;
    if (run == 12) {
      Extended sum = 0;
      for (std::size_t k = i; k < i + 12; ++k) sum += months[k].mean;
      return AnnualMean{m.year, m.month, static_cast<double>(sum / 12)};
    }
  }
  return std::nullopt;
}

}  // namespace kestrum
