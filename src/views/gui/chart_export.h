// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures of the chart, drawn at its size on screen (also while it is
// hidden): bitmap, SVG vector picture, PNG and PDF.

#include <QString>

#include "records/result.h"

namespace kestrum {

class KestrumChart;

enum class ChartPictureFormat { Bmp, Svg, Png, Pdf };

// Writes the picture to `path` through the one write routine: an existing
// file is replaced whole or kept. A failure names the file and gives the
// system's reason.
Result<> SaveChartPicture(KestrumChart& chart, const QString& path, ChartPictureFormat format);

}  // namespace kestrum
