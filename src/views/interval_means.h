// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving and running means of one run's concentrations, with the counting
// error of each mean and the environmental lines drawn along with them.

#include <vector>

#include "records/hourly_sample.h"
#include "records/measurement_store.h"
#include "views/chart_points.h"
#include "views/run_sample_range.h"
#include "views/sample_view.h"

namespace kestrum {

struct IntervalMeanOptions {
  bool meanError = false;    // `MeanError_CheckBox`
  bool temperature = false;  // `Temperature` checked (and the model has the channel)
  bool humidity = false;     // `Humidity` checked (and the model has the channel)
};

struct IntervalMeanSeries {
  // The run has too few samples for the interval (L - F <= n); all lines empty.
  bool tooShort = false;
  int samples = 0;                           // the interval n, 0 for the running mean
  std::vector<ChartPoint> mean;              // the mean line
  std::vector<ErrorBarPoint> meanWithError;  // the mean-error bars
  std::vector<ChartPoint> temperature;       // the temperature line
  std::vector<ChartPoint> humidity;          // the humidity line
};

// The means of run `run` over `n` samples (0: the running mean from the
// run's first sample). The window sum is kept in extended precision without
// rounding, so means of non-integer concentrations do not drift along a run.
IntervalMeanSeries ComputeIntervalMeans(const MeasurementStore& store, int run, int n,
                                        const IntervalMeanOptions& options);
// The same over any samples (one run's stretch of the history's hours): a
// mean never reaches beyond them, so stretches apart stay apart.
IntervalMeanSeries ComputeIntervalMeans(SampleView samples, int n,
                                        const IntervalMeanOptions& options);

}  // namespace kestrum
