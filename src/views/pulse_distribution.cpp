// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/pulse_distribution.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "views/run_sample_range.h"

namespace kestrum {
namespace {

// A concentration of 0 is drawn as a bar of half-height 0.1 at 0, whatever its error.
ErrorBarPoint PulseBar(DateTime time, double concentration, double error) {
  if (concentration == 0) return {time, 0.0, 0.1};
  return {time, concentration, error};
}

}  // namespace

PulseDistributionSeries ComputePulseDistribution(const MeasurementStore& store, int run,
                                                 const EnvironmentLines& lines) {
  return ComputePulseDistribution(store, RunSampleRange(store, run), lines);
}

PulseDistributionSeries ComputePulseDistribution(const MeasurementStore& store, SampleRange range,
                                                 const EnvironmentLines& lines) {
  PulseDistributionSeries out;
  range = ClampedSampleRange(range);
  if (range.last >= range.first) {
    out.pulses.reserve(static_cast<std::size_t>(range.last - range.first + 1));
  }
  for (std::int32_t i = range.first; i <= range.last; ++i) {
    const SampleRecord& sample = store.Samples[static_cast<std::size_t>(i)];
    if (sample.Time == 0) continue;
    out.pulses.push_back(PulseBar(sample.Time, static_cast<double>(sample.Concentration),
                                  static_cast<double>(sample.Error)));
    if (lines.temperature) {
      out.temperature.push_back({sample.Time, static_cast<double>(sample.TemperatureValue)});
    }
    if (lines.humidity) {
      out.humidity.push_back({sample.Time, static_cast<double>(sample.HumidityValue)});
    }
    if (lines.pressure) {
      out.pressure.push_back({sample.Time, static_cast<double>(sample.PressureValue)});
    }
  }
  return out;
}

PulseDistributionSeries ComputePulseDistribution(HourSpan samples, const EnvironmentLines& lines) {
  PulseDistributionSeries out;
  out.pulses.reserve(samples.size());
  constexpr double kBreak = std::numeric_limits<double>::quiet_NaN();
  // An hour and a half apart: at least one hour is missing between them.
  constexpr DateTime kGap = 1.5 / 24;
  DateTime previous = 0;
  for (const HourlySample& s : samples) {
    if (previous != 0 && s.time - previous > kGap) {
      const DateTime between = (s.time + previous) / 2;
      if (lines.temperature) out.temperature.push_back({between, kBreak});
      if (lines.humidity) out.humidity.push_back({between, kBreak});
      if (lines.pressure) out.pressure.push_back({between, kBreak});
    }
    previous = s.time;
    out.pulses.push_back(PulseBar(s.time, s.concentration, s.error));
    if (lines.temperature) out.temperature.push_back({s.time, s.temperature});
    if (lines.humidity) out.humidity.push_back({s.time, s.humidity});
    if (lines.pressure) out.pressure.push_back({s.time, s.pressure});
  }
  return out;
}

}  // namespace kestrum
