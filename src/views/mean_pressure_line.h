// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pressure line of the mean-only views: the pressures of the samples the
// mean line is drawn over, so the line covers the same time span.

#include <vector>

#include "records/measurement_store.h"
#include "views/chart_points.h"

namespace kestrum {

// Samples F + n .. L of run `run` (F .. L for the running mean, n = 0),
// leaving out samples stamped 0; empty when the run is too short for n.
std::vector<ChartPoint> ComputeMeanPressureLine(const MeasurementStore& store, int run, int n);

}  // namespace kestrum
