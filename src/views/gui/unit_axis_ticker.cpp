// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/unit_axis_ticker.h"

namespace kestrum {

void UnitAxisTicker::generate(const QCPRange& range, const QLocale& locale, QChar formatChar,
                              int precision, QVector<double>& ticks, QVector<double>* subTicks,
                              QVector<QString>* tickLabels) {
  const QCPRange inUnit(range.lower / perUnit_, range.upper / perUnit_);
  QCPAxisTicker::generate(inUnit, locale, formatChar, precision, ticks, subTicks, tickLabels);
  for (double& tick : ticks) tick *= perUnit_;
  if (subTicks) {
    for (double& tick : *subTicks) tick *= perUnit_;
  }
}

}  // namespace kestrum
