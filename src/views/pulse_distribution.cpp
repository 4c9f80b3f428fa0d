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

// One bar per stamped sample and the lines asked for; `at(i)` gives sample i.
template <typename At>
PulseDistributionSeries Distribution(std::int32_t count, const EnvironmentLines& lines,
                                     const At& at) {
  PulseDistributionSeries out;
  out.pulses.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    const HourlySample sample = at(i);
    if (sample.time == 0) continue;
    out.pulses.push_back(PulseBar(sample.time, sample.concentration, sample.error));
    if (lines.temperature) out.temperature.push_back({sample.time, sample.temperature});
    if (lines.humidity) out.humidity.push_back({sample.time, sample.humidity});
    if (lines.pressure) out.pressure.push_back({sample.time, sample.pressure});
  }
  return out;
}

}  // namespace

PulseDistributionSeries ComputePulseDistribution(const MeasurementStore& store, int run,
                                                 const EnvironmentLines& lines) {
  return ComputePulseDistribution(store, RunSampleRange(store, run), lines);
}

PulseDistributionSeries ComputePulseDistribution(const MeasurementStore& store, SampleRange range,
                                                 const EnvironmentLines& lines) {
  range = ClampedSampleRange(range);
  const std::int32_t count = range.last >= range.first ? range.last - range.first + 1 : 0;
  return Distribution(count, lines, [&store, first = range.first](std::int32_t i) {
    const SampleRecord& s = store.Samples[static_cast<std::size_t>(first + i)];
    return HourlySample{s.Time,
                        static_cast<double>(s.Concentration),
                        static_cast<double>(s.Error),
                        static_cast<double>(s.Pulses),
                        static_cast<double>(s.TemperatureValue),
                        static_cast<double>(s.HumidityValue),
                        static_cast<double>(s.PressureValue)};
  });
}

PulseDistributionSeries ComputeSegmentPulseDistribution(HourSpan segment,
                                                        const EnvironmentLines& lines) {
  return Distribution(static_cast<std::int32_t>(segment.size()), lines,
                      [segment](std::int32_t i) { return segment[static_cast<std::size_t>(i)]; });
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
