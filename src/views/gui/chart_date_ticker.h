// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bottom-axis labels "dd/mm hh", at least half an hour apart, one minor tick
// between two labels.

#include <qcustomplot.h>

namespace kestrum {

class ChartDateTicker : public QCPAxisTickerDateTime {
 public:
  ChartDateTicker();

 protected:
  double getTickStep(const QCPRange& range) override;
  int getSubTickCount(double tickStep) override;
};

}  // namespace kestrum
