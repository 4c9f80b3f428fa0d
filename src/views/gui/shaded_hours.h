// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Grey bands over the hours a protocol leaves out of its mean (the
// discarded start of a short-term test, a workplace's unoccupied hours), so
// the chart shows which hours the answer rests on.

#include <utility>
#include <vector>

#include "records/hourly_sample.h"
#include "views/gui/chart_overlay.h"

namespace kestrum {

class ShadedHours : public ChartOverlay {
  Q_OBJECT
 public:
  ShadedHours(QCPAxis* keyAxis, QCPAxis* valueAxis);

  // Spans of chart keys, in time order; each is drawn from bottom to top.
  void SetSpans(std::vector<std::pair<double, double>> spans);
  const std::vector<std::pair<double, double>>& Spans() const { return spans_; }

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
