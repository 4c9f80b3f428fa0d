// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The legend inside the plot: one entry for each series that holds points
// and each reference line, so humidity and pressure (both blue) can be told
// apart. It sits in the corner of the plot where it hides the fewest marks,
// and lets what lies under it show through. Off, the chart keeps its
// original look: the legend stays hidden and untouched.

#include <array>
#include <functional>
#include <vector>

#include <qcustomplot.h>

namespace kestrum {

// Done before every replot.
void SyncChartLegend(QCustomPlot& plot, bool shown);

// The corner of `plot` (pixels) where a legend of `size` covers the fewest
// marks, as `marksIn` counts them for the top and the bottom rectangle of one
// side. On a tie the first of top left, top right, bottom left, bottom right.
Qt::Alignment EmptiestCorner(
    const QRectF& plot, const QSizeF& size,
    const std::function<std::array<long long, 2>(const QRectF& top, const QRectF& bottom)>&
        marksIn);

}  // namespace kestrum
