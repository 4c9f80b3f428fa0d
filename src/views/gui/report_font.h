// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lettering of the PDF reports: DejaVu Sans (or the sans serif there
// is) at a size in the page's points.

#include <QFont>

namespace kestrum {

inline QFont ReportFont(int pixels, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace kestrum
