// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/assessment.h"

#include <algorithm>
#include <cmath>

#include "assessment/daily_means.h"
#include "records/date_time.h"

namespace kestrum {
namespace {

std::int64_t MinuteOf(DateTime time) {
  return std::llround(time * 1440.0);
}

const OccupancySchedule& ScheduleOf(const AssessmentRequest& request) {
  static const OccupancySchedule kDefault = OccupancySchedule::Parse(kDefaultSchedule).value();
  return request.schedule ? *request.schedule : kDefault;
}

int DiscardedOf(const CountedHours& counted, const AssessmentRequest& request) {
  return std::min<int>(std::max(request.discardHours, 0), static_cast<int>(counted.samples.size()));
}

void Fill(Assessment& out, HourSpan samples, const std::vector<double>& dailyMeans,
          const AssessmentRequest& request) {
  out.figures = UncertaintyOfMean(samples, dailyMeans, request.calibrationPercent);
  if (!samples.empty()) {
    out.first = samples.front().time;
    out.last = samples.back().time;
  }
  out.months = MonthlyMeans(CalendarDays(samples));
}

// The mean of a workplace's occupied hours; a day counts for the variation
// with three quarters of the hours scheduled on it.
std::vector<double> WorkdayMeans(const std::vector<HourlySample>& occupied,
                                 const OccupancySchedule& schedule) {
  return DayMeansWhere(occupied, [&schedule](int day, int hours) {
    const double scheduled = schedule.ScheduledHours(WeekdayOfDay(day));
    return scheduled > 0 && hours >= kWorkdayCoverage * scheduled - 1e-9;
  });
}

void AssessShortTerm(Assessment& out, const CountedHours& counted,
                     const AssessmentRequest& request) {
  ShortTermTest& test = out.test;
  const std::vector<HourlySample>& all = counted.samples;
  test.discarded = DiscardedOf(counted, request);
  if (!all.empty()) {
    test.deployedFirst = all.front().time;
    test.deployedLast = all.back().time;
  }
  const HourSpan kept(all.data() + test.discarded, all.data() + all.size());
  Fill(out, kept, FullDayMeans(kept), request);
  out.levels = JudgeLevels(JudgedMean(out.figures), request.levels);

  for (std::size_t i = 1; i < all.size() && test.gapAfter == 0; ++i) {
    if (MinuteOf(all[i].time) - MinuteOf(all[i - 1].time) != 60) test.gapAfter = all[i - 1].time;
  }
  if (counted.clockUnsetHours > 0) {
    test.invalid = TestFault::kClockUnset;
  } else if (static_cast<int>(kept.size()) < kShortTermHours) {
    test.invalid = TestFault::kTooShort;
  } else if (test.gapAfter != 0) {
    test.invalid = TestFault::kGap;
  }
  if (!kept.empty()) {
    test.resultTenths = TenthsHalfUp(out.figures.mean / kBqPerPciL);
    test.action = ShortTermActionOf(test.resultTenths);
  }
}

void AssessWorkplace(Assessment& out, const CountedHours& counted,
                     const AssessmentRequest& request) {
  const OccupancySchedule& schedule = ScheduleOf(request);
  out.schedule = schedule.Text();
  // Kept between calls: a fresh ten-year copy costs more in page faults than
  // the whole assessment does.
  thread_local std::vector<HourlySample> occupied;
  occupied.clear();
  occupied.reserve(counted.samples.size());
  Extended sum = 0;
  for (const HourlySample& s : counted.samples) {
    sum += s.concentration;
    if (schedule.Occupied(s.time)) occupied.push_back(s);
  }
  out.allHours = static_cast<int>(counted.samples.size());
  if (out.allHours > 0) out.meanAll = static_cast<double>(sum / out.allHours);
  Fill(out, occupied, WorkdayMeans(occupied, schedule), request);
  out.levels = JudgeLevels(JudgedMean(out.figures), request.levels);
}

void AssessLongTerm(Assessment& out, const CountedHours& counted,
                    const AssessmentRequest& request) {
  Fill(out, counted.samples, FullDayMeans(counted.samples), request);
  if (!request.profile || out.hours() == 0) return;
  const SeasonalProfile& profile = *request.profile;
  out.profile = profile.name;
  // The months measured, each hour by the factor of its month.
  Extended factors = 0;
  int day = 0;
  double factor = 0;
  for (const HourlySample& s : counted.samples) {
    // A day's month is looked up once.
    if (s.time == counted.samples.front().time || DayOfHour(s.time) != day) {
      day = DayOfHour(s.time);
      factor = profile.factors[static_cast<std::size_t>(SplitDateTime(day).month - 1)];
    }
    factors += factor;
  }
  out.seasonalFactor = static_cast<double>(counted.samples.size() / factors);
  out.annualEstimate = out.figures.mean * out.seasonalFactor;
  const JudgedValue estimate{out.annualEstimate, out.figures, out.seasonalFactor,
                             out.annualEstimate * profile.uncertaintyPercent / 100};
  out.estimateUncertainty = estimate.UncertaintyWith(0);
  out.levels = JudgeLevels(estimate, request.levels);
}

void AssessAnnual(Assessment& out, const CountedHours& counted, const AssessmentRequest& request) {
  Fill(out, counted.samples, FullDayMeans(counted.samples), request);
  out.levels = JudgeLevels(JudgedMean(out.figures), request.levels);
  out.latestTwelve = AnnualMeanOf(out.months);
  for (std::size_t i = 0; i + 12 <= out.months.size(); ++i) {
    const MonthlyMean& january = out.months[i];
    if (january.month != 1) continue;
    bool covered = true;
    Extended sum = 0;
    for (std::size_t k = i; k < i + 12 && covered; ++k) {
      const MonthlyMean& m = out.months[k];
      covered = m.year == january.year && m.coverage + 1e-12 >= kAnnualMonthCoverage;
      sum += m.mean;
    }
    if (!covered) continue;
    YearAssessment year;
    year.year = january.year;
    year.annualMean = static_cast<double>(sum / 12);
    // The year's hours: those whose middle lies in it.
    const HourlySample* all = counted.samples.data();
    const HourlySample* end = all + counted.samples.size();
    const auto at = [&](int y) {
      const int first = static_cast<int>(EncodeDate(y, 1, 1));
      return std::lower_bound(
          all, end, first, [](const HourlySample& s, int day) { return DayOfHour(s.time) < day; });
    };
    const HourSpan ofYear(at(year.year), at(year.year + 1));
    MeanUncertainty parts =
        UncertaintyOfMean(ofYear, FullDayMeans(ofYear), request.calibrationPercent);
    // The year is judged by the mean of its months, with that mean's parts.
    parts.mean = year.annualMean;
    if (parts.pulses > 0) parts.counting = year.annualMean / std::sqrt(parts.pulses);
    parts.calibration = year.annualMean * request.calibrationPercent / 100;
    parts.combined = parts.CombinedWith(0);
    year.parts = parts;
    year.levels = JudgeLevels(JudgedMean(parts), request.levels, false);
    out.years.push_back(std::move(year));
  }
}

}  // namespace

void TakeCalibration(AssessmentRequest& request, const std::optional<double>& instrumentPercent) {
  if (!request.calibrationAssumed || !instrumentPercent) return;
  request.calibrationPercent = *instrumentPercent;
  request.calibrationAssumed = false;
}

int TenthsHalfUp(double value) {
  // The tolerance keeps a value that is 3.95 in decimal from rounding down
  // for being 3.9499999... in binary.
  return static_cast<int>(std::floor(value * 10 + 0.5 + 1e-9));
}

ShortTermAction ShortTermActionOf(int resultTenths) {
  if (resultTenths >= 40) return ShortTermAction::kFix;
  if (resultTenths >= 20) return ShortTermAction::kConsider;
  return ShortTermAction::kLow;
}

std::string_view ShortTermActionWord(ShortTermAction action) {
  switch (action) {
    case ShortTermAction::kFix:
      return "fix";
    case ShortTermAction::kConsider:
      return "consider";
    case ShortTermAction::kLow:
      break;
  }
  return "low";
}

std::vector<bool> HoursLeftOut(const CountedHours& counted, const AssessmentRequest& request) {
  std::vector<bool> out(counted.samples.size(), false);
  if (request.protocol == Protocol::kUsShortTerm) {
    const int discarded = DiscardedOf(counted, request);
    for (int i = 0; i < discarded; ++i) out[static_cast<std::size_t>(i)] = true;
  } else if (request.protocol == Protocol::kWorkplace) {
    const OccupancySchedule& schedule = ScheduleOf(request);
    for (std::size_t i = 0; i < out.size(); ++i) {
      out[i] = !schedule.Occupied(counted.samples[i].time);
    }
  }
  return out;
}

const char* TestFaultName(TestFault fault) {
  switch (fault) {
    case TestFault::kClockUnset:
      return "clock_unset";
    case TestFault::kTooShort:
      return "too_short";
    case TestFault::kGap:
      break;
  }
  return "gap";
}

Assessment Assess(const CountedHours& counted, const AssessmentRequest& request) {
  Assessment out;
  out.protocol = request.protocol;
  out.overlapHours = counted.overlapHours;
  out.clockUnsetHours = counted.clockUnsetHours;
  out.excludedHours = counted.excludedHours;
  out.calibrationPercent = request.calibrationPercent;
  out.calibrationAssumed = request.calibrationAssumed;
  switch (request.protocol) {
    case Protocol::kUsShortTerm:
      AssessShortTerm(out, counted, request);
      break;
    case Protocol::kWorkplace:
      AssessWorkplace(out, counted, request);
      break;
    case Protocol::kLongTerm:
      AssessLongTerm(out, counted, request);
      break;
    case Protocol::kAnnual:
      AssessAnnual(out, counted, request);
      break;
    case Protocol::kPeriod:
      Fill(out, counted.samples, FullDayMeans(counted.samples), request);
      out.levels = JudgeLevels(JudgedMean(out.figures), request.levels);
      break;
  }
  return out;
}

}  // namespace kestrum
