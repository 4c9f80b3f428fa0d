// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/mean_pressure_line.h"

#include "views/run_sample_range.h"

namespace kestrum {

std::vector<ChartPoint> ComputeMeanPressureLine(const MeasurementStore& store, int run, int n) {
  std::vector<ChartPoint> line;
  const SampleRange range = RunSampleRange(store, run);
  if (n < 0 || range.last - range.first <= n) return line;  // too short for the interval
  for (std::int32_t j = range.first + n; j <= range.last; ++j) {
    const SampleRecord& sample = store.Samples[j];
    if (sample.Time == 0) continue;
    line.push_back({sample.Time, static_cast<double>(sample.PressureValue)});
  }
  return line;
}

}  // namespace kestrum
