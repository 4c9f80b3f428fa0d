// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The samples a view computes over, whoever holds them: a range of the data
// file's store (in its own extended precision, so the window's numbers stay
// exactly what they were) or hours held elsewhere (the history's, in time
// order). A view of one run, or of one run's stretch, never reaches beyond it.

#include <cstddef>
#include <cstdint>

#include "records/hourly_sample.h"
#include "records/measurement_store.h"
#include "views/run_sample_range.h"

namespace kestrum {

// One sample as the computations read it.
struct SampleValues {
  DateTime time;
  Extended concentration;
  Extended error;
  Extended pulses;
  Extended temperature;
  Extended humidity;
  Extended pressure;
};

class SampleView {
 public:
  // Samples first .. last of the store, kept inside its array.
  SampleView(const MeasurementStore& store, SampleRange range) {
    range = ClampedSampleRange(range);
    records_ = store.Samples.data() + range.first;
    size_ = range.last >= range.first ? range.last - range.first + 1 : 0;
  }
  SampleView(HourSpan hours)  // NOLINT: hours are a view
      : hours_(hours.begin()), size_(static_cast<std::int32_t>(hours.size())) {}

  std::int32_t size() const { return size_; }
  SampleValues operator[](std::int32_t i) const {
    if (records_) {
      const SampleRecord& s = records_[i];
      return {s.Time,          s.Concentration, s.Error, s.Pulses, s.TemperatureValue,
              s.HumidityValue, s.PressureValue};
    }
    const HourlySample& h = hours_[i];
    return {h.time, h.concentration, h.error, h.pulses, h.temperature, h.humidity, h.pressure};
  }

 private:
  const SampleRecord* records_ = nullptr;
  const HourlySample* hours_ = nullptr;
  std::int32_t size_ = 0;
};

// The samples of entry `run` of the run list (an index outside it: none).
inline SampleView RunSamples(const MeasurementStore& store, int run) {
  return SampleView(store, RunSampleRange(store, run));
}

}  // namespace kestrum
