// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One hour of a measurement as the computations take it, whatever holds it:
// the decoder's store, a history run, or a test's own list.

#include <cstddef>
#include <vector>

#include "records/measurement_store.h"

namespace kestrum {

// Times are the instrument's local clock; the hour ends at `time`.
struct HourlySample {
  DateTime time = 0;
  double concentration = 0;  // Bq/m3
  double error = 0;          // Bq/m3
  double pulses = 0;
  double temperature = 0;
  double humidity = 0;
  double pressure = 0;  // kPa
};

// A run of samples in time order, held by someone else: what the
// computations read, so that a part of a sequence needs no copy.
class HourSpan {
 public:
  HourSpan() = default;
  HourSpan(const HourlySample* first, const HourlySample* last) : first_(first), last_(last) {}
  HourSpan(const std::vector<HourlySample>& samples)  // NOLINT: a vector is a span
      : first_(samples.data()), last_(samples.data() + samples.size()) {}

  const HourlySample* begin() const { return first_; }
  const HourlySample* end() const { return last_; }
  std::size_t size() const { return static_cast<std::size_t>(last_ - first_); }
  bool empty() const { return first_ == last_; }
  const HourlySample& operator[](std::size_t i) const { return first_[i]; }
  const HourlySample& front() const { return *first_; }
  const HourlySample& back() const { return *(last_ - 1); }

 private:
  const HourlySample* first_ = nullptr;
  const HourlySample* last_ = nullptr;
};

}  // namespace kestrum
