// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/run_sample_range.h"

#include <algorithm>

#include "records/date_time.h"

namespace kestrum {

SampleRange RunSampleRange(const MeasurementStore& store, int run) {
  if (run < 0 || run >= kRunCapacity) return {};
  const RunEntry& entry = store.Runs[static_cast<std::size_t>(run)];
  SampleRange range;
  range.first = std::max<std::int32_t>(entry.FirstSample, 0);
  range.last = std::min<std::int32_t>(entry.LastSample, kSampleCapacity - 1);
  return range;
}

std::vector<HourlySample> RunHourlySamples(const MeasurementStore& store, int run) {
  std::vector<HourlySample> out;
  const SampleRange range = RunSampleRange(store, run);
  if (range.last >= range.first)
    out.reserve(static_cast<std::size_t>(range.last - range.first + 1));
  for (std::int32_t i = range.first; i <= range.last; ++i) {
    const SampleRecord& s = store.Samples[static_cast<std::size_t>(i)];
    if (s.Time == 0) continue;
    out.push_back({s.Time, static_cast<double>(s.Concentration), static_cast<double>(s.Error),
                   static_cast<double>(s.Pulses), static_cast<double>(s.TemperatureValue),
                   static_cast<double>(s.HumidityValue), static_cast<double>(s.PressureValue)});
  }
  return out;
}

RunHours RunHoursOfFile(const MeasurementStore& store, int run,
                        const std::vector<HourlySample>& samples, const std::string& site) {
  RunHours hours;
  hours.id = run + 1;
  if (run >= 0 && run < kRunCapacity)
    hours.start = store.Runs[static_cast<std::size_t>(run)].StartTime;
  hours.site = site;
  hours.clockUnset = SplitDateTime(hours.start).year == 2000;
  hours.samples = &samples;
  return hours;
}

}  // namespace kestrum
