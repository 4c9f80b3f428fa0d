// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/footer_line.h"

#include "views/radon_level.h"

namespace kestrum {

QString FooterLine(const MeasurementStore& store, DateTime min, DateTime max,
                   const DateTimeFormats& formats) {
  if (min == 0) return {};
  return FooterLineOf(ComputeRadonLevel(store, min, max), min, max, formats);
}

QString FooterLineOf(const RadonLevel& level, DateTime min, DateTime max,
                     const DateTimeFormats& formats) {
  if (min == 0) return {};
  return QStringLiteral("StartTime: ") + FormatDateAndTime(min, formats) +
         QStringLiteral(", EndTime: ") + FormatDateAndTime(max, formats) +
         QStringLiteral(" Radonlevel :") + QString::number(level.level) + QChar(0x00B1) +
         QString::number(level.error);
}

}  // namespace kestrum
