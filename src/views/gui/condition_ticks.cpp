// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/condition_ticks.h"

#include <algorithm>

namespace kestrum {
namespace {

constexpr double kTickHeight = 7;  // pixels
constexpr double kTickHalfWidth = 3.5;

QPolygonF Tick(double x, double bottom) {
  return QPolygonF({QPointF(x - kTickHalfWidth, bottom), QPointF(x + kTickHalfWidth, bottom),
                    QPointF(x, bottom - kTickHeight)});
}

}  // namespace

ConditionTicks::ConditionTicks(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : ChartOverlay(keyAxis, valueAxis) {
  setPen(Qt::NoPen);
  // An orange none of the series wears.
  setBrush(QColor(230, 120, 0));
  setName(QStringLiteral("Conditions changed"));
}

void ConditionTicks::SetKeys(std::vector<double> keys) {
  keys_ = std::move(keys);
}

void ConditionTicks::draw(QCPPainter* painter) {
  QCPAxis* keyAxis = mKeyAxis.data();
  QCPAxis* valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis || keys_.empty()) return;
  const QCPRange shown = keyAxis->range();
  const double bottom = valueAxis->coordToPixel(valueAxis->range().lower);
  painter->setPen(Qt::NoPen);
  painter->setBrush(brush());
  auto it = std::lower_bound(keys_.begin(), keys_.end(), shown.lower);
  double drawnAt = -1e300;
  for (; it != keys_.end() && *it <= shown.upper; ++it) {
    const double x = keyAxis->coordToPixel(*it);
    // Hours closer than a tick's width share one.
    if (x - drawnAt < kTickHalfWidth) continue;
    painter->drawPolygon(Tick(x, bottom));
    drawnAt = x;
  }
}

void ConditionTicks::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
  painter->setPen(Qt::NoPen);
  painter->setBrush(brush());
  painter->drawPolygon(Tick(rect.center().x(), rect.bottom()));
}

}  // namespace kestrum
