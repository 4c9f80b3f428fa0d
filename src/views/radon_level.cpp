#include "views/radon_level.h"

#include <algorithm>
#include <cmath>

namespace kestrum {
namespace {

constexpr Extended kRelativeErrorFloor = 0.1L;

}  // namespace

RadonLevel ComputeRadonLevel(const MeasurementStore& store, DateTime min, DateTime max) {
  RadonLevel out;
  const std::int32_t last = std::min<std::int32_t>(store.LastSampleIndex, kSampleCapacity - 1);
  for (std::int32_t i = 0; i <= last; ++i) {
    const SampleRecord& sample = store.Samples[static_cast<std::size_t>(i)];
    if (min <= sample.Time && sample.Time <= max) {
      out.sum += sample.Concentration;
      ++out.count;
    }
  }
  out.relativeError = kRelativeErrorFloor;
  if (out.sum > 0) {
    const Extended pulses = out.sum / store.CalibrationFactor;
    out.relativeError = std::max(1.0L / std::sqrt(pulses), kRelativeErrorFloor);
  }
  const Extended level = out.count >= 1 ? out.sum / out.count : 0.0L;
  out.level = static_cast<std::int64_t>(std::trunc(level));
  out.error = static_cast<std::int64_t>(std::trunc(level * out.relativeError));
  return out;
}

}  // namespace kestrum
