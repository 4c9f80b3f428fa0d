// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pulse distribution of one run: one error bar per hourly sample and the
// environmental lines of the same samples.

#include <vector>

#include "records/hourly_sample.h"
#include "records/measurement_store.h"
#include "views/chart_points.h"
#include "views/run_sample_range.h"
#include "views/sample_view.h"

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
// The same over any samples: a stretch of the store that is not one entry of
// the run list, or one run's stretch of the history's hours.
PulseDistributionSeries ComputePulseDistribution(SampleView samples, const EnvironmentLines& lines);

// The same over hours counted from the history or a file; the lines break
// (a point with y = NaN) where an hour or more is missing, so no line joins
// two runs across a gap.
PulseDistributionSeries ComputePulseDistributionWithBreaks(HourSpan samples,
                                                           const EnvironmentLines& lines);

}  // namespace kestrum
