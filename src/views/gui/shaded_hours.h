// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Grey bands over the hours a protocol leaves out of its mean (the
// discarded start of a short-term test, a workplace's unoccupied hours), so
// the chart shows which hours the answer rests on.

#include <qcustomplot.h>

#include <utility>
#include <vector>

#include "records/hourly_sample.h"

namespace kestrum {

class ShadedHours : public QCPAbstractPlottable {
  Q_OBJECT
 public:
  ShadedHours(QCPAxis* keyAxis, QCPAxis* valueAxis);

  // Spans of chart keys, in time order; each is drawn from bottom to top.
  void SetSpans(std::vector<std::pair<double, double>> spans);
  const std::vector<std::pair<double, double>>& Spans() const { return spans_; }

  double selectTest(const QPointF& pos, bool onlySelectable,
                    QVariant* details = nullptr) const override;
  QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
  QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                         const QCPRange& inKeyRange = QCPRange()) const override;

 protected:
  void draw(QCPPainter* painter) override;
  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

 private:
  std::vector<std::pair<double, double>> spans_;
};

// The hours marked in `leftOut` as spans of chart keys, neighbouring hours joined.
std::vector<std::pair<double, double>> LeftOutSpans(const std::vector<HourlySample>& samples,
                                                    const std::vector<bool>& leftOut);

}  // namespace kestrum
