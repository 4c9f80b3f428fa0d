// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Points as the views hand them to the chart: x is always a DateTime.

#include "records/measurement_store.h"

namespace kestrum {

struct ChartPoint {
  DateTime x = 0;
  double y = 0;
};

// A vertical bar from y - error to y + error over x.
struct ErrorBarPoint {
  DateTime x = 0;
  double y = 0;
  double error = 0;
};

// From the earliest to the latest time of what is drawn.
struct TimeRange {
  DateTime min = 0;
  DateTime max = 0;
};

}  // namespace kestrum
