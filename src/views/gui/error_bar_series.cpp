#include "views/gui/error_bar_series.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "views/gui/chart_time.h"

namespace kestrum {
namespace {

bool ByX(const ErrorBarPoint& a, const ErrorBarPoint& b) {
  return a.x < b.x;
}

bool InSignDomain(double value, QCP::SignDomain domain) {
  switch (domain) {
    case QCP::sdNegative:
      return value < 0;
    case QCP::sdPositive:
      return value > 0;
    default:
      return true;
  }
}

void Widen(QCPRange& range, bool& found, double value) {
  if (!found) {
    range = QCPRange(value, value);
    found = true;
  } else {
    range.lower = std::min(range.lower, value);
    range.upper = std::max(range.upper, value);
  }
}

}  // namespace

ErrorBarSeries::ErrorBarSeries(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPAbstractPlottable(keyAxis, valueAxis) {
  setSelectable(QCP::stNone);
  setAntialiased(false);  // crisp one-pixel verticals
  setBrush(Qt::NoBrush);
}

void ErrorBarSeries::Clear() {
  points_.clear();
  sorted_ = true;
  Changed();
}

void ErrorBarSeries::AddXYError(DateTime x, double y, double error) {
  if (!points_.empty() && x < points_.back().x) sorted_ = false;
  points_.push_back({x, y, error});
  Changed();
}

void ErrorBarSeries::SetPoints(std::vector<ErrorBarPoint> points) {
  points_ = std::move(points);
  sorted_ = std::is_sorted(points_.begin(), points_.end(), ByX);
  Changed();
}

const ErrorBarPoint& ErrorBarSeries::At(int index) const {
  EnsureSorted();
  return points_[static_cast<std::size_t>(index)];
}

const std::vector<ErrorBarPoint>& ErrorBarSeries::Points() const {
  EnsureSorted();
  return points_;
}

bool ErrorBarSeries::XExtent(DateTime* min, DateTime* max) const {
  if (points_.empty()) return false;
  EnsureSorted();
  *min = points_.front().x;
  *max = points_.back().x;
  return true;
}

void ErrorBarSeries::EnsureSorted() const {
  if (sorted_) return;
  std::stable_sort(points_.begin(), points_.end(), ByX);
  sorted_ = true;
}

void ErrorBarSeries::Changed() {
  if (QCustomPlot* plot = parentPlot()) plot->replot(QCustomPlot::rpQueuedReplot);
}

double ErrorBarSeries::selectTest(const QPointF& /*pos*/, bool /*onlySelectable*/,
                                  QVariant* /*details*/) const {
  return -1;  // bars are never selected
}

QCPRange ErrorBarSeries::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const {
  QCPRange range;
  foundRange = false;
  for (const ErrorBarPoint& p : points_) {
    const double key = ChartKeyFromDateTime(p.x);
    if (InSignDomain(key, inSignDomain)) Widen(range, foundRange, key);
  }
  return range;
}

QCPRange ErrorBarSeries::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                       const QCPRange& inKeyRange) const {
  const bool restrictKeys = inKeyRange != QCPRange();
  QCPRange range;
  foundRange = false;
  for (const ErrorBarPoint& p : points_) {
    if (restrictKeys && !inKeyRange.contains(ChartKeyFromDateTime(p.x))) continue;
    for (double value : {p.y - p.error, p.y + p.error}) {
      if (InSignDomain(value, inSignDomain)) Widen(range, foundRange, value);
    }
  }
  return range;
}

void ErrorBarSeries::draw(QCPPainter* painter) {
  lastDrawnSpans_ = 0;
  QCPAxis* keyAxis = mKeyAxis.data();
  QCPAxis* valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis || points_.empty()) return;
  EnsureSorted();

  // Bars whose whiskers reach into the plot from just outside count too.
  const double margin = std::abs(keyAxis->pixelToCoord(kWhiskerWidth) - keyAxis->pixelToCoord(0));
  const QCPRange keys = keyAxis->range();
  const DateTime firstX = DateTimeFromChartKey(keys.lower - margin);
  const DateTime lastX = DateTimeFromChartKey(keys.upper + margin);
  auto begin = std::lower_bound(points_.begin(), points_.end(), ErrorBarPoint{firstX, 0, 0}, ByX);
  auto end = std::upper_bound(begin, points_.end(), ErrorBarPoint{lastX, 0, 0}, ByX);

  QVector<QLineF> lines;
  lines.reserve(static_cast<int>(std::min<std::ptrdiff_t>(end - begin, 4096)) * 3);
  const double halfWhisker = kWhiskerWidth / 2;
  auto flush = [&](double x, double low, double high) {
    const double yLow = valueAxis->coordToPixel(low);
    const double yHigh = valueAxis->coordToPixel(high);
    lines.append(QLineF(x, yLow, x, yHigh));
    lines.append(QLineF(x - halfWhisker, yLow, x + halfWhisker, yLow));
    lines.append(QLineF(x - halfWhisker, yHigh, x + halfWhisker, yHigh));
    ++lastDrawnSpans_;
  };

  long long column = std::numeric_limits<long long>::min();
  double spanLow = 0;
  double spanHigh = 0;
  for (auto it = begin; it != end; ++it) {
    const long long pixel = std::llround(keyAxis->coordToPixel(ChartKeyFromDateTime(it->x)));
    const double low = it->y - it->error;
    const double high = it->y + it->error;
    if (pixel != column) {
      if (column != std::numeric_limits<long long>::min()) {
        flush(static_cast<double>(column), spanLow, spanHigh);
      }
      column = pixel;
      spanLow = low;
      spanHigh = high;
    } else {
      spanLow = std::min(spanLow, low);
      spanHigh = std::max(spanHigh, high);
    }
  }
  if (column != std::numeric_limits<long long>::min()) {
    flush(static_cast<double>(column), spanLow, spanHigh);
  }

  applyDefaultAntialiasingHint(painter);
  painter->setPen(pen());
  painter->setBrush(Qt::NoBrush);
  painter->drawLines(lines);
}

void ErrorBarSeries::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
  applyDefaultAntialiasingHint(painter);
  painter->setPen(pen());
  const double x = rect.center().x();
  painter->drawLine(QLineF(x, rect.top(), x, rect.bottom()));
  painter->drawLine(QLineF(rect.left(), rect.top(), rect.right(), rect.top()));
  painter->drawLine(QLineF(rect.left(), rect.bottom(), rect.right(), rect.bottom()));
}

}  // namespace kestrum
