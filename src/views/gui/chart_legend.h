#pragma once
// The legend inside the plot: one entry for each series that holds points
// and each reference line, so humidity and pressure (both blue) can be told
// apart. Off, the chart keeps its original look: the legend stays hidden
// and untouched.

#include <qcustomplot.h>

namespace kestrum {

// Done before every replot.
void SyncChartLegend(QCustomPlot& plot, bool shown);

}  // namespace kestrum
