// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The uncertainty of a mean radon concentration: the counting statistics of
// its pulses, the calibration of the instrument and, largest for short
// measurements, how much the level varies from day to day.

#include <functional>
#include <optional>
#include <vector>

#include "records/hourly_sample.h"

namespace kestrum {

// A day counts towards the day-to-day variation with at least this many hours.
inline constexpr int kFullDayHours = 18;
// Fewer counted days than this leave the variation, and any verdict, open.
inline constexpr int kFewestDays = 3;
// The calibration uncertainty used when the instrument's is not known, per cent.
inline constexpr double kAssumedCalibrationPercent = 10;

// The daily means, in date order, and what they say about the mean:
// s their sample standard deviation, r the lag-1 autocorrelation clamped to
// 0..0.9 (neighbouring days are alike, so they tell less than independent
// ones), n_eff = n (1 - r) / (1 + r) and u = s / sqrt(n_eff).
struct DayToDay {
  int days = 0;
  double mean = 0;
  double deviation = 0;
  double autocorrelation = 0;
  double effectiveDays = 0;
  std::optional<double> uncertainty;  // none with fewer than 3 days

  // u with `more` days of the same deviation and autocorrelation.
  std::optional<double> UncertaintyWith(int more) const;
};

DayToDay DayToDayVariation(const std::vector<double>& dailyMeans);

// The daily means of the days holding at least `minimumHours` of the
// samples (given in time order); a sample's day is that of its hour's middle.
std::vector<double> FullDayMeans(HourSpan samples, int minimumHours = kFullDayHours);

// The same where `counts(day, hours)` says which days count.
std::vector<double> DayMeansWhere(HourSpan samples, const std::function<bool(int, int)>& counts);

struct MeanUncertainty {
  double mean = 0;  // Bq/m3
  int hours = 0;
  double pulses = 0;
  std::optional<double> counting;  // mean / sqrt(pulses); none without pulses
  DayToDay temporal;
  double calibration = 0;          // mean x P / 100
  std::optional<double> combined;  // none when a part is

  // The combined uncertainty after `more` further days like these.
  std::optional<double> CombinedWith(int more) const;
};

// The mean of the samples and its uncertainty, the day-to-day part from
// `dailyMeans`; calibrationPercent: P.
MeanUncertainty UncertaintyOfMean(HourSpan samples, const std::vector<double>& dailyMeans,
                                  double calibrationPercent);

}  // namespace kestrum
