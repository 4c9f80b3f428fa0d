// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radon level of a time range: the mean concentration of every sample
// (all runs) stamped inside it, with the counting error of that mean.

#include <cstdint>

#include "records/measurement_store.h"
#include "views/sample_view.h"

namespace kestrum {

struct RadonLevel {
  Extended sum = 0;            // S: concentrations inside the range
  std::int32_t count = 0;      // c: samples inside the range
  Extended relativeError = 0;  // R, never below 0.1
  std::int64_t level = 0;      // trunc(S / c), 0 when no sample is inside
  std::int64_t error = 0;      // trunc(level * R) with the untruncated level
  Extended mean = 0;           // S / c untruncated, 0 when no sample is inside
  Extended uncertainty = 0;    // mean * R
};

// The level of `count` samples whose concentrations add up to `sum`.
RadonLevel RadonLevelOfSum(Extended sum, std::int32_t count, Extended calibrationFactor);

// Samples with min <= Time <= max count. The level is the plain mean S / c;
// dividing by c - 1 would overstate short ranges (two samples of 100 would
// read 200).
RadonLevel ComputeRadonLevel(const MeasurementStore& store, DateTime min, DateTime max);
// The same over any samples, with their instrument's factor.
RadonLevel ComputeRadonLevel(SampleView samples, Extended calibrationFactor, DateTime min,
                             DateTime max);

}  // namespace kestrum
