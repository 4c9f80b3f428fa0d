// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sample indices of one entry of the run list, kept inside the sample
// array so that a damaged run entry or an out-of-range index cannot make a
// view read past the samples.

#include <cstdint>

#include "records/measurement_store.h"

namespace kestrum {

struct SampleRange {
  std::int32_t first = 0;
  std::int32_t last = -1;  // inclusive; below first means no sample
};

// An index outside the run list gives an empty range.
SampleRange RunSampleRange(const MeasurementStore& store, int run);

}  // namespace kestrum
