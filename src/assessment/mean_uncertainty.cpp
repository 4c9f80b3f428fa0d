// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/mean_uncertainty.h"

#include <algorithm>
#include <cmath>

#include "assessment/daily_means.h"

namespace kestrum {
namespace {

double Root(double a, double b, double c) {
  return std::sqrt(a * a + b * b + c * c);
}

}  // namespace

std::optional<double> DayToDay::UncertaintyWith(int more) const {
  if (days < kFewestDays) return std::nullopt;
  const double n = days + more;
  const double r = autocorrelation;
  return deviation / std::sqrt(n * (1 - r) / (1 + r));
}

DayToDay DayToDayVariation(const std::vector<double>& d) {
  DayToDay out;
  out.days = static_cast<int>(d.size());
  if (d.empty()) return out;
  Extended sum = 0;
  for (double x : d) sum += x;
  const Extended m = sum / d.size();
  out.mean = static_cast<double>(m);
  Extended squares = 0;
  Extended lagged = 0;
  for (std::size_t i = 0; i < d.size(); ++i) {
    squares += (d[i] - m) * (d[i] - m);
    if (i + 1 < d.size()) lagged += (d[i] - m) * (d[i + 1] - m);
  }
  if (d.size() >= 2) out.deviation = static_cast<double>(std::sqrt(squares / (d.size() - 1)));
  // All days equal: nothing to correlate.
  const double r = squares > 0 ? static_cast<double>(lagged / squares) : 0.0;
  out.autocorrelation = std::clamp(r, 0.0, 0.9);
  out.effectiveDays = out.days * (1 - out.autocorrelation) / (1 + out.autocorrelation);
  out.uncertainty = out.UncertaintyWith(0);
  return out;
}

std::vector<double> DayMeansWhere(HourSpan samples, const std::function<bool(int, int)>& counts) {
  std::vector<double> means;
  std::size_t i = 0;
  while (i < samples.size()) {
    const int day = DayOfHour(samples[i].time);
    Extended sum = 0;
    int count = 0;
    for (; i < samples.size() && DayOfHour(samples[i].time) == day; ++i) {
      sum += samples[i].concentration;
      ++count;
    }
    if (counts(day, count)) means.push_back(static_cast<double>(sum / count));
  }
  return means;
}

std::vector<double> FullDayMeans(HourSpan samples, int minimumHours) {
  return DayMeansWhere(samples, [minimumHours](int, int hours) { return hours >= minimumHours; });
}

std::optional<double> MeanUncertainty::CombinedWith(int more) const {
  const std::optional<double> t = temporal.UncertaintyWith(more);
  if (!counting || !t) return std::nullopt;
  const double scale = std::sqrt(static_cast<double>(hours) / (hours + 24.0 * more));
  return Root(*counting * scale, *t, calibration);
}

MeanUncertainty UncertaintyOfMean(HourSpan samples, const std::vector<double>& dailyMeans,
                                  double calibrationPercent) {
  MeanUncertainty out;
  Extended sum = 0;
  Extended pulses = 0;
  for (const HourlySample& s : samples) {
    sum += s.concentration;
    pulses += s.pulses;
  }
  out.hours = static_cast<int>(samples.size());
  if (out.hours == 0) return out;
  out.mean = static_cast<double>(sum / out.hours);
  out.pulses = static_cast<double>(pulses);
  if (out.pulses > 0) out.counting = out.mean / std::sqrt(out.pulses);
  out.temporal = DayToDayVariation(dailyMeans);
  out.calibration = out.mean * calibrationPercent / 100;
  out.combined = out.CombinedWith(0);
  return out;
}

}  // namespace kestrum
