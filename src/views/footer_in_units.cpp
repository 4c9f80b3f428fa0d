// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/footer_in_units.h"

#include "views/footer_line.h"
#include "views/radon_level.h"

namespace kestrum {

namespace {

QString LineInUnit(const RadonLevel& level, DateTime min, DateTime max,
                   const DateTimeFormats& formats, RadonUnit unit) {
  QString line = FooterLineOf(level, min, max, formats);
  if (line.isEmpty() || unit != RadonUnit::PciPerL) return line;
  const auto pci = [](Extended bq) {
    return QString::number(InRadonUnit(static_cast<double>(bq), RadonUnit::PciPerL), 'f', 2);
  };
  return line + QStringLiteral(" (") + pci(level.mean) + QChar(0x00B1) + pci(level.uncertainty) +
         QStringLiteral(" pCi/L)");
}

}  // namespace

QString FooterLineInUnit(const MeasurementStore& store, DateTime min, DateTime max,
                         const DateTimeFormats& formats, RadonUnit unit) {
  if (min == 0) return {};
  return LineInUnit(ComputeRadonLevel(store, min, max), min, max, formats, unit);
}

QString FooterLineInUnit(SampleView samples, Extended calibrationFactor, DateTime min, DateTime max,
                         const DateTimeFormats& formats, RadonUnit unit) {
  if (min == 0) return {};
  return LineInUnit(ComputeRadonLevel(samples, calibrationFactor, min, max), min, max, formats,
                    unit);
}

}  // namespace kestrum
