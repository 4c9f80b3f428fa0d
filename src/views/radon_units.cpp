// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/radon_units.h"

#include <cmath>

namespace kestrum {

double InRadonUnit(double bqPerM3, RadonUnit unit) {
  return unit == RadonUnit::PciPerL ? bqPerM3 / kBqPerM3PerPciPerL : bqPerM3;
}

double FromRadonUnit(double value, RadonUnit unit) {
  return unit == RadonUnit::PciPerL ? value * kBqPerM3PerPciPerL : value;
}

QString RadonUnitText(RadonUnit unit) {
  return unit == RadonUnit::PciPerL ? QStringLiteral("pCi/L") : QStringLiteral("Bq/m3");
}

QString RadonValueText(double bqPerM3, RadonUnit unit) {
  const int decimals = unit == RadonUnit::PciPerL ? 2 : 0;
  return QString::number(InRadonUnit(bqPerM3, unit), 'f', decimals) + QLatin1Char(' ') +
         RadonUnitText(unit);
}

}  // namespace kestrum
