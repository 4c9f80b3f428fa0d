// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/summary_output.h"

#include "records/csv_export.h"
#include "tool/assessment_output.h"

namespace kestrum::tool {

std::string SummaryNumber(double value) {
  // The same numbers and minutes as the CSV files.
  return CsvNumber(value);
}

std::string SummaryMinute(DateTime value) {
  return CsvMinute(value);
}

void PrintRunSummary(std::ostream& out, const RunSummary& s) {
  out << "samples=" << s.samples << "\n"
      << "first=" << SummaryMinute(s.first) << "\n"
      << "last=" << SummaryMinute(s.last) << "\n"
      << "mean_bqm3=" << SummaryNumber(static_cast<double>(s.level.mean)) << "\n"
      << "uncertainty_bqm3=" << SummaryNumber(static_cast<double>(s.level.uncertainty)) << "\n"
      << "max_bqm3=" << SummaryNumber(s.highest) << "\n"
      << "max_at=" << SummaryMinute(s.highestAt) << "\n"
      << "min_bqm3=" << SummaryNumber(s.lowest) << "\n"
      << "min_at=" << SummaryMinute(s.lowestAt) << "\n";
  for (const LevelJudgement& j : s.judgements) {
    out << "level=" << SummaryNumber(j.level) << " hours_above=" << j.hoursAbove
        << " verdict=" << VerdictWord(j.verdict) << " " << MoreDaysWords(j.outcome) << "\n";
  }
  for (const DailyMean& d : s.days) {
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", d.year, d.month, d.day);
    out << "day=" << day << " count=" << d.count << " mean_bqm3=" << SummaryNumber(d.mean) << "\n";
  }
}

}  // namespace kestrum::tool
