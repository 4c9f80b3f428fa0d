#pragma once
// Pictures of the chart, drawn at its size on screen (also while it is
// hidden): bitmap, SVG vector picture, PNG and PDF.

#include <QString>

namespace kestrum {

class KestrumChart;

enum class ChartPictureFormat { Bmp, Svg, Png, Pdf };

// Writes the picture to `path` through the one write routine: an existing
// file is replaced whole or kept. On failure returns false and, when `error`
// is given, a text for the user with the system's reason.
bool SaveChartPicture(KestrumChart& chart, const QString& path, ChartPictureFormat format,
                      QString* error = nullptr);

}  // namespace kestrum
