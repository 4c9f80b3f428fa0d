// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/run_sample_range.h"

#include <algorithm>

namespace kestrum {

SampleRange RunSampleRange(const MeasurementStore& store, int run) {
  if (run < 0 || run >= kRunCapacity) return {};
  const RunEntry& entry = store.Runs[static_cast<std::size_t>(run)];
  SampleRange range;
  range.first = std::max<std::int32_t>(entry.FirstSample, 0);
  range.last = std::min<std::int32_t>(entry.LastSample, kSampleCapacity - 1);
  return range;
}

}  // namespace kestrum
