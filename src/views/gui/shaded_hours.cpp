// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/shaded_hours.h"

#include <algorithm>
#include <cmath>

#include "records/date_time.h"
#include "views/gui/chart_time.h"

namespace kestrum {

ShadedHours::ShadedHours(QCPAxis* keyAxis, QCPAxis* valueAxis) : ChartOverlay(keyAxis, valueAxis) {
  setAntialiased(false);
  setPen(Qt::NoPen);
  setBrush(QColor(120, 120, 120, 45));
  // Nameless: the legend lists only what carries data.
}

void ShadedHours::SetSpans(std::vector<std::pair<double, double>> spans) {
  spans_ = std::move(spans);
}

void ShadedHours::draw(QCPPainter* painter) {
  QCPAxis* keyAxis = mKeyAxis.data();
  QCPAxis* valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis || spans_.empty()) return;
  const QCPRange shown = keyAxis->range();
  const double top = valueAxis->coordToPixel(valueAxis->range().upper);
  const double bottom = valueAxis->coordToPixel(valueAxis->range().lower);
  painter->setPen(Qt::NoPen);
  painter->setBrush(brush());
  // Only the spans in sight, and at most one rectangle per pixel column.
  auto it = std::lower_bound(
      spans_.begin(), spans_.end(), shown.lower,
      [](const std::pair<double, double>& s, double key) { return s.second < key; });
  double drawnTo = -1e300;
  for (; it != spans_.end() && it->first <= shown.upper; ++it) {
    const double left = std::floor(keyAxis->coordToPixel(std::max(it->first, shown.lower)));
    const double right = std::ceil(keyAxis->coordToPixel(std::min(it->second, shown.upper)));
    const double from = std::max(left, drawnTo);
    if (right <= from) continue;
    painter->drawRect(QRectF(from, top, right - from, bottom - top));
    drawnTo = right;
  }
}

void ShadedHours::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
  painter->setPen(Qt::NoPen);
  painter->setBrush(brush());
  painter->drawRect(rect);
}

std::vector<std::pair<double, double>> LeftOutSpans(const std::vector<HourlySample>& samples,
                                                    const std::vector<bool>& leftOut) {
  std::vector<std::pair<double, double>> spans;
  for (std::size_t i = 0; i < samples.size() && i < leftOut.size(); ++i) {
    if (!leftOut[i]) continue;
    const double begin = ChartKeyFromDateTime(samples[i].time - kOneHour);
    const double end = ChartKeyFromDateTime(samples[i].time);
    if (!spans.empty() && std::fabs(spans.back().second - begin) < 1) {
      spans.back().second = end;
    } else {
      spans.emplace_back(begin, end);
    }
  }
  return spans;
}

}  // namespace kestrum
