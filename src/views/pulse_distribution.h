#pragma once
// The pulse distribution of one run: one error bar per hourly sample and the
// environmental lines of the same samples.

#include <vector>

#include "records/measurement_store.h"
#include "views/chart_points.h"

namespace kestrum {

struct EnvironmentLines {
  bool temperature = false;
  bool humidity = false;
  bool pressure = false;
};

struct PulseDistributionSeries {
  std::vector<ErrorBarPoint> pulses;    // `Series4`
  std::vector<ChartPoint> temperature;  // `Series1`
  std::vector<ChartPoint> humidity;     // `Series5`
  std::vector<ChartPoint> pressure;     // `Series6`
};

// A sample stamped 0 is left out of every line; a concentration of 0 is drawn
// as a bar of half-height 0.1 at 0 whatever its stored error.
PulseDistributionSeries ComputePulseDistribution(const MeasurementStore& store, int run,
                                                 const EnvironmentLines& lines);

}  // namespace kestrum
