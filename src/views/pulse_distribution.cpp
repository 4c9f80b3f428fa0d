#include "views/pulse_distribution.h"

#include "views/run_sample_range.h"

namespace kestrum {

PulseDistributionSeries ComputePulseDistribution(const MeasurementStore& store, int run,
                                                 const EnvironmentLines& lines) {
  PulseDistributionSeries out;
  const SampleRange range = RunSampleRange(store, run);
  if (range.last >= range.first) {
    out.pulses.reserve(static_cast<std::size_t>(range.last - range.first + 1));
  }
  for (std::int32_t i = range.first; i <= range.last; ++i) {
    const SampleRecord& sample = store.Samples[static_cast<std::size_t>(i)];
    if (sample.Time == 0) continue;
    if (sample.Concentration == 0) {
      out.pulses.push_back({sample.Time, 0.0, 0.1});
    } else {
      out.pulses.push_back({sample.Time, static_cast<double>(sample.Concentration),
                            static_cast<double>(sample.Error)});
    }
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

}  // namespace kestrum
