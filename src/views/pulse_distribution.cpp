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
  return ComputePulseDistribution(RunSamples(store, run), lines);
}

PulseDistributionSeries ComputePulseDistribution(SampleView samples,
                                                 const EnvironmentLines& lines) {
  PulseDistributionSeries out;
  out.pulses.reserve(static_cast<std::size_t>(samples.size()));
  for (std::int32_t i = 0; i < samples.size(); ++i) {
    const SampleValues sample = samples[i];
    if (sample.time == 0) continue;
    out.pulses.push_back(PulseBar(sample.time, static_cast<double>(sample.concentration),
                                  static_cast<double>(sample.error)));
    if (lines.temperature) {
      out.temperature.push_back({sample.time, static_cast<double>(sample.temperature)});
    }
    if (lines.humidity) {
      out.humidity.push_back({sample.time, static_cast<double>(sample.humidity)});
    }
    if (lines.pressure) {
      out.pressure.push_back({sample.time, static_cast<double>(sample.pressure)});
    }
  }
  return out;
}

PulseDistributionSeries ComputePulseDistributionWithBreaks(HourSpan samples,
                                                           const EnvironmentLines& lines) {
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
