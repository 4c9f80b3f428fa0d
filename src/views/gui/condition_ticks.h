// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small marks along the bottom of the plot at the hours whose temperature,
// humidity or pressure changed beyond the thresholds from the hour before,
// so the reader sees where a window may have been opened or the monitor
// moved. They mark; they leave every bar in sight.

#include <vector>

#include "views/gui/chart_overlay.h"

namespace kestrum {

class ConditionTicks : public ChartOverlay {
  Q_OBJECT
 public:
  ConditionTicks(QCPAxis* keyAxis, QCPAxis* valueAxis);

  // Chart keys of the marked hours' ends, in time order.
  void SetKeys(std::vector<double> keys);
  const std::vector<double>& Keys() const { return keys_; }

 protected:
  void draw(QCPPainter* painter) override;
  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

 private:
  std::vector<double> keys_;
};

}  // namespace kestrum
