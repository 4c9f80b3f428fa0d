// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart on one landscape page, as the screen shows it.

#include <QRectF>
#include <QSize>
#include <QString>

#include "records/result.h"

class QPrinter;

namespace kestrum {

class KestrumChart;

// Where a chart of `chartPixels` on screen goes on a page of `pageSize`
// device units: 70 per cent of the page width (of the height for a chart
// higher than wide), the on-screen ratio kept also on a printer whose
// horizontal and vertical resolutions differ, centred.
QRectF ChartRectOnPage(const QSizeF& pageSize, const QSize& chartPixels, double dpiX, double dpiY);

// Prints the chart on one page of `printer` in landscape, in a job titled
// "Chart1", and sets the printer's orientation back afterwards, also when
// printing failed.
Result<> PrintChart(KestrumChart& chart, QPrinter& printer);

}  // namespace kestrum
