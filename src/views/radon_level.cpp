// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/radon_level.h"

#include <algorithm>
#include <cmath>

namespace kestrum {
namespace {

constexpr Extended kRelativeErrorFloor = 0.1L;

}  // namespace

RadonLevel RadonLevelOfSum(Extended sum, std::int32_t count, Extended calibrationFactor) {
  RadonLevel out;
  out.sum = sum;
  out.count = count;
  out.relativeError = kRelativeErrorFloor;
  if (out.sum > 0) {
    const Extended pulses = out.sum / calibrationFactor;
    out.relativeError = std::max(1.0L / std::sqrt(pulses), kRelativeErrorFloor);
  }
  out.mean = out.count >= 1 ? out.sum / out.count : 0.0L;
  out.uncertainty = out.mean * out.relativeError;
  out.level = static_cast<std::int64_t>(std::trunc(out.mean));
  out.error = static_cast<std::int64_t>(std::trunc(out.uncertainty));
  return out;
}

RadonLevel ComputeRadonLevel(const MeasurementStore& store, DateTime min, DateTime max) {
  return ComputeRadonLevel(SampleView(store, {0, store.LastSampleIndex}), store.CalibrationFactor,
                           min, max);
}

RadonLevel ComputeRadonLevel(SampleView samples, Extended calibrationFactor, DateTime min,
                             DateTime max) {
  Extended sum = 0;
  std::int32_t count = 0;
  for (std::int32_t i = 0; i < samples.size(); ++i) {
    const SampleValues sample = samples[i];
    if (min <= sample.time && sample.time <= max) {
      sum += sample.concentration;
      ++count;
    }
  }
  return RadonLevelOfSum(sum, count, calibrationFactor);
}

}  // namespace kestrum
