// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/assessment_output.h"

#include "history/history_hours.h"
#include "tool/history_output.h"
#include "tool/summary_output.h"

namespace kestrum::tool {
namespace {

std::string_view ReasonWord(const LevelOutcome& o) {
  switch (o.reason) {
    case OpenReason::kTooShort:
      return "too_short";
    case OpenReason::kNoPulses:
      return "no_pulses";
    case OpenReason::kTooClose:
      return o.calibrationSpans ? "calibration" : "too_close";
    case OpenReason::kNone:
    case OpenReason::kNotAsked:
      break;
  }
  return {};
}

std::string MonthText(int year, int month) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d", year, month);
  return text;
}

void PrintParts(std::ostream& out, const MeanUncertainty& f) {
  out << "mean_bqm3=" << SummaryNumber(f.mean) << "\n"
      << "u_counting_bqm3=" << OptionalNumber(f.counting) << "\n"
      << "u_temporal_bqm3=" << OptionalNumber(f.temporal.uncertainty) << "\n"
      << "autocorrelation="
      << OptionalNumber(f.temporal.days > 0 ? std::optional<double>(f.temporal.autocorrelation)
                                            : std::nullopt)
      << "\n"
      << "effective_days=" << SummaryNumber(f.temporal.effectiveDays) << "\n"
      << "u_calibration_bqm3=" << SummaryNumber(f.calibration) << "\n"
      << "u_bqm3=" << OptionalNumber(f.combined) << "\n";
}

}  // namespace

std::string OptionalNumber(const std::optional<double>& value) {
  return value ? SummaryNumber(*value) : "none";
}

std::string MoreDaysWords(const LevelOutcome& o) {
  if (o.moreDays) return "more_days=" + std::to_string(*o.moreDays);
  const std::string_view reason = ReasonWord(o);
  return "more_days=none" + (reason.empty() ? std::string() : " reason=" + std::string(reason));
}

void PrintAssessment(std::ostream& out, const Assessment& a, const std::string& site) {
  out << "protocol=" << ProtocolName(a.protocol) << "\n"
      << "site=" << LineText(SiteTitle(site)) << "\n"
      << "first=" << SummaryMinute(a.first) << "\n"
      << "last=" << SummaryMinute(a.last) << "\n"
      << "hours=" << a.hours() << "\n"
      << "overlap_hours=" << a.overlapHours << "\n"
      << "clock_unset_hours=" << a.clockUnsetHours << "\n"
      << "excluded_hours=" << a.excludedHours << "\n"
      << "days=" << a.figures.temporal.days << "\n"
      << "calibration_uncertainty_percent=" << SummaryNumber(a.calibrationPercent)
      << (a.calibrationAssumed ? " assumed=1" : "") << "\n";
  PrintParts(out, a.figures);
  switch (a.protocol) {
    case Protocol::kUsShortTerm:
      out << "deployed_first=" << SummaryMinute(a.test.deployedFirst) << "\n"
          << "deployed_last=" << SummaryMinute(a.test.deployedLast) << "\n"
          << "hours_discarded=" << a.test.discarded << "\n"
          << "valid=" << (a.test.Valid() ? 1 : 0) << "\n";
      if (a.test.invalid) {
        out << "invalid=" << TestFaultName(*a.test.invalid) << "\n";
        if (a.test.gapAfter != 0) out << "gap_after=" << SummaryMinute(a.test.gapAfter) << "\n";
      } else {
        char result[16];
        std::snprintf(result, sizeof result, "%d.%d", a.test.resultTenths / 10,
                      a.test.resultTenths % 10);
        out << "result_pcil=" << result << "\n"
            << "action=" << ShortTermActionWord(a.test.action) << "\n";
      }
      break;
    case Protocol::kWorkplace:
      out << "schedule=" << LineText(a.schedule) << "\n"
          << "all_hours=" << a.allHours << "\n"
          << "mean_all_bqm3=" << SummaryNumber(a.meanAll) << "\n";
      break;
    case Protocol::kLongTerm:
      out << "profile=" << LineText(a.profile) << "\n"
          << "seasonal_factor=" << SummaryNumber(a.seasonalFactor) << "\n"
          << "annual_estimate_bqm3=" << SummaryNumber(a.annualEstimate) << "\n"
          << "u_annual_estimate_bqm3=" << OptionalNumber(a.estimateUncertainty) << "\n";
      break;
    case Protocol::kAnnual:
      for (const YearAssessment& y : a.years) {
        out << "year=" << y.year << " months=12 annual_mean_bqm3=" << SummaryNumber(y.annualMean)
            << " u_bqm3=" << OptionalNumber(y.parts.combined) << "\n";
      }
      for (const YearAssessment& y : a.years) {
        for (const LevelOutcome& o : y.levels) {
          out << "year=" << y.year << " level=" << SummaryNumber(o.level)
              << " verdict=" << VerdictWord(o.verdict) << "\n";
        }
      }
      if (a.latestTwelve) {
        out << "annual_mean_bqm3=" << SummaryNumber(a.latestTwelve->mean)
            << " annual_from=" << MonthText(a.latestTwelve->fromYear, a.latestTwelve->fromMonth)
            << "\n";
      }
      break;
    case Protocol::kPeriod:
      break;
  }
  if (a.protocol == Protocol::kAnnual) return;
  for (const LevelOutcome& o : a.levels) {
    out << "level=" << SummaryNumber(o.level) << " verdict=" << VerdictWord(o.verdict) << " "
        << MoreDaysWords(o) << "\n";
  }
}

}  // namespace kestrum::tool
