// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The legend's entries: one for each series that holds points and each
// reference line, so humidity and pressure can be told apart. Where it
// stands (beside or above the plot, never over data) is the chart's
// arrangement. Off, the chart keeps its original look: the legend stays
// hidden and untouched.

#include <qcustomplot.h>

namespace kestrum {

// Done before every replot.
void SyncChartLegend(QCustomPlot& plot, bool shown);

}  // namespace kestrum
