// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Something drawn over the plot that is not data (shaded hours, condition
// marks): it takes no part in the axes' scaling, cannot be selected and
// stays out of the legend's count of what it covers.

#include <qcustomplot.h>

namespace kestrum {

class ChartOverlay : public QCPAbstractPlottable {
  Q_OBJECT
 public:
  ChartOverlay(QCPAxis* keyAxis, QCPAxis* valueAxis);

  double selectTest(const QPointF& pos, bool onlySelectable,
                    QVariant* details = nullptr) const override;
  QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
  QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                         const QCPRange& inKeyRange = QCPRange()) const override;
};

}  // namespace kestrum
