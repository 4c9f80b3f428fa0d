// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sample indices of one entry of the run list, kept inside the sample
// array so that a damaged run entry or an out-of-range index cannot make a
// view read past the samples.

#include <cstdint>
#include <vector>

#include "assessment/counted_hours.h"
#include "records/hourly_sample.h"
#include "records/measurement_store.h"

namespace kestrum {

struct SampleRange {
  std::int32_t first = 0;
  std::int32_t last = -1;  // inclusive; below first means no sample
};

// A range handed in, kept inside the sample array as RunSampleRange keeps a run's.
inline SampleRange ClampedSampleRange(SampleRange range) {
  if (range.first < 0) range.first = 0;
  if (range.last > kSampleCapacity - 1) range.last = kSampleCapacity - 1;
  return range;
}

// An index outside the run list gives an empty range.
SampleRange RunSampleRange(const MeasurementStore& store, int run);

// The samples of a run as the computations take them, those stamped 0 left out.
std::vector<HourlySample> RunHourlySamples(const MeasurementStore& store, int run);

// A run of a data file as the counting rule takes it: one run of one
// instrument, its clock unset when it starts in the year 2000.
RunHours RunHoursOfFile(const MeasurementStore& store, int run,
                        const std::vector<HourlySample>& samples, const std::string& site);

}  // namespace kestrum
