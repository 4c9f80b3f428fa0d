// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hand-filled measurement stores for the view tests.

#include <cmath>
#include <memory>
#include <vector>

#include "records/measurement_store.h"

namespace kestrum::testing {

inline constexpr DateTime kDay = 45000.0;  // 15 March 2023 00:00
inline constexpr double kHour = 1.0 / 24.0;

inline std::unique_ptr<MeasurementStore> MakeStore(Extended calibrationFactor = 6.0L) {
  auto store = std::make_unique<MeasurementStore>();
  store->CalibrationFactor = calibrationFactor;
  return store;
}

// Appends a run of hourly samples stamped start + 1h, start + 2h, ...; each
// concentration is pulses x calibration factor and the error is truncated
// like the decoder's. Returns the run's index.
inline int AddRun(MeasurementStore& store, DateTime start, const std::vector<Extended>& pulses) {
  const int run = store.RunCount++;
  RunEntry& entry = store.Runs[static_cast<std::size_t>(run)];
  entry.FirstSample = store.LastSampleIndex + 1;
  entry.StartTime = start;
  for (std::size_t k = 0; k < pulses.size(); ++k) {
    SampleRecord& s = store.Samples[static_cast<std::size_t>(++store.LastSampleIndex)];
    s.Pulses = pulses[k];
    s.Concentration = pulses[k] * store.CalibrationFactor;
    s.Error = pulses[k] > 0 ? std::trunc(s.Concentration / std::sqrt(pulses[k])) : 0;
    s.Time = start + static_cast<double>(k + 1) * kHour;
    s.TemperatureValue = 20 + static_cast<Extended>(k);
    s.HumidityValue = 40 + static_cast<Extended>(k);
    s.PressureValue = 100 + static_cast<Extended>(k);
  }
  entry.LastSample = store.LastSampleIndex;
  // The entry after the last run spans all runs.
  RunEntry& all = store.Runs[static_cast<std::size_t>(store.RunCount)];
  all = {store.Runs[0].FirstSample, entry.LastSample, store.Runs[0].StartTime};
  return run;
}

// A run whose concentrations are given directly (pulses = concentration / factor).
inline int AddRunOfConcentrations(MeasurementStore& store, DateTime start,
                                  const std::vector<Extended>& concentrations) {
  std::vector<Extended> pulses;
  for (Extended c : concentrations) pulses.push_back(c / store.CalibrationFactor);
  return AddRun(store, start, pulses);
}

}  // namespace kestrum::testing
