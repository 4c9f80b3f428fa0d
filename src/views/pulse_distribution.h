// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pulse distribution of one run: one error bar per hourly sample and the
// environmental lines of the same samples.

#include <vector>

#include "records/hourly_sample.h"
#include "records/measurement_store.h"
#include "views/chart_points.h"
#include "views/run_sample_range.h"

namespace kestrum {

struct EnvironmentLines {
  bool temperature = false;
  bool humidity = false;
  bool pressure = false;
};

struct PulseDistributionSeries {
  std::vector<ErrorBarPoint> pulses;    // the pulse bars
  std::vector<ChartPoint> temperature;  // the temperature line
  std::vector<ChartPoint> humidity;     // the humidity line
  std::vector<ChartPoint> pressure;     // the pressure line
};

// A sample stamped 0 is left out of every line; a concentration of 0 is drawn
// as a bar of half-height 0.1 at 0 whatever its stored error.
PulseDistributionSeries ComputePulseDistribution(const MeasurementStore& store, int run,
                                                 const EnvironmentLines& lines);
// The same over samples first .. last of the store (kept inside the array),
// for a stretch that is not one entry of the run list.
PulseDistributionSeries ComputePulseDistribution(const MeasurementStore& store, SampleRange range,
                                                 const EnvironmentLines& lines);

// The same over one stretch of one run's hours (the history's), in order:
// like a store range, nothing breaks inside it.
PulseDistributionSeries ComputeSegmentPulseDistribution(HourSpan segment,
                                                        const EnvironmentLines& lines);

// The same over hours counted from the history or a file; the lines break
// (a point with y = NaN) where an hour or more is missing, so no line joins
// two runs across a gap.
PulseDistributionSeries ComputePulseDistribution(HourSpan samples, const EnvironmentLines& lines);

}  // namespace kestrum
