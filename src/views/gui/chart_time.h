// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one place where our DateTime (days since 30 December 1899) meets the
// chart's time axis (seconds since 1 January 1970, read as UTC so that the
// labels show our local times unchanged, whatever the machine's zone).

#include "records/measurement_store.h"

namespace kestrum {

double ChartKeyFromDateTime(DateTime value);
DateTime DateTimeFromChartKey(double key);

}  // namespace kestrum
