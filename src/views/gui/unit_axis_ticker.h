// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ticks for the radon axis when pCi/L is chosen. The axis keeps its Bq/m3
// coordinates (series, reference lines and zoom stay as they are); only the
// tick places and labels are worked out in pCi/L, so they fall on round
// pCi/L values.

#include <qcustomplot.h>

namespace kestrum {

class UnitAxisTicker : public QCPAxisTicker {
 public:
  explicit UnitAxisTicker(double coordinatesPerUnit) : perUnit_(coordinatesPerUnit) {}

  void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                QVector<double>& ticks, QVector<double>* subTicks,
                QVector<QString>* tickLabels) override;

 private:
  double perUnit_;
};

}  // namespace kestrum
