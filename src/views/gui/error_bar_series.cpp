// SPDX-License-Identifier: GPL-3.0-or-later
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

// std::llround's rounding (halves away from zero) through std::round, which
// the compiler inlines; llround's library call showed in the replot's
// profile with 100,000 bars.
long long RoundHalfAway(double value) {
  return static_cast<long long>(std::round(value));
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

std::optional<TimeRange> ErrorBarSeries::XExtent() const {
  if (points_.empty()) return std::nullopt;
  EnsureSorted();
  return TimeRange{points_.front().x, points_.back().x};
}

void ErrorBarSeries::EnsureSorted() const {
  if (sorted_) return;
  std::stable_sort(points_.begin(), points_.end(), ByX);
  sorted_ = true;
}

void ErrorBarSeries::Changed() {
  valueRangeKnown_ = false;
  if (QCustomPlot* plot = parentPlot()) plot->replot(QCustomPlot::rpQueuedReplot);
}

double ErrorBarSeries::selectTest(const QPointF& /*pos*/, bool /*onlySelectable*/,
                                  QVariant* /*details*/) const {
  return -1;  // bars are never selected
}

QCPRange ErrorBarSeries::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const {
  QCPRange range;
  foundRange = false;
  if (inSignDomain == QCP::sdBoth) {
    // Keys grow with x: the ends of the sorted points are the range.
    const std::optional<TimeRange> extent = XExtent();
    if (!extent) return range;
    Widen(range, foundRange, ChartKeyFromDateTime(extent->min));
    Widen(range, foundRange, ChartKeyFromDateTime(extent->max));
    return range;
  }
  for (const ErrorBarPoint& p : points_) {
    const double key = ChartKeyFromDateTime(p.x);
    if (InSignDomain(key, inSignDomain)) Widen(range, foundRange, key);
  }
  return range;
}

QCPRange ErrorBarSeries::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                       const QCPRange& inKeyRange) const {
  const bool restrictKeys = inKeyRange != QCPRange();
  if (!restrictKeys && inSignDomain == QCP::sdBoth && valueRangeKnown_) {
    foundRange = valueRangeFound_;
    return valueRange_;
  }
  QCPRange range;
  foundRange = false;
  for (const ErrorBarPoint& p : points_) {
    if (restrictKeys && !inKeyRange.contains(ChartKeyFromDateTime(p.x))) continue;
    for (double value : {p.y - p.error, p.y + p.error}) {
      if (InSignDomain(value, inSignDomain)) Widen(range, foundRange, value);
    }
  }
  if (!restrictKeys && inSignDomain == QCP::sdBoth) {
    valueRange_ = range;
    valueRangeFound_ = foundRange;
    valueRangeKnown_ = true;
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
  // One span a pixel column at most; sized by the plot, so a long run does
  // not map fresh memory on every replot.
  const auto columns =
      static_cast<std::ptrdiff_t>(keyAxis->axisRect()->width()) + 2 * kWhiskerWidth + 2;
  lines.reserve(static_cast<int>(std::min<std::ptrdiff_t>(end - begin, columns)) * 3);
  const double halfWhisker = kWhiskerWidth / 2;
  auto flush = [&](double x, double low, double high) {
    const double yLow = valueAxis->coordToPixel(low);
    const double yHigh = valueAxis->coordToPixel(high);
    lines.append(QLineF(x, yLow, x, yHigh));
    lines.append(QLineF(x - halfWhisker, yLow, x + halfWhisker, yLow));
    lines.append(QLineF(x - halfWhisker, yHigh, x + halfWhisker, yHigh));
    ++lastDrawnSpans_;
  };

  auto columnOf = [keyAxis](const ErrorBarPoint& p) {
    return RoundHalfAway(keyAxis->coordToPixel(ChartKeyFromDateTime(p.x)));
  };
  // Columns grow with x on a forward axis, so each column's last bar is
  // found by a galloping search from its first: a few pixel lookups a column
  // instead of one a bar, all close by (a bisection over the rest of a long
  // run missed the cache on every step).
  const bool forward = !keyAxis->rangeReversed();
  for (auto it = begin; it != end;) {
    const long long column = columnOf(*it);
    auto next = it + 1;
    if (forward) {
      const auto inColumn = [&](const ErrorBarPoint& p) { return columnOf(p) == column; };
      std::ptrdiff_t step = 1;
      while (end - next > step && inColumn(next[step - 1])) {
        next += step;
        step *= 2;
      }
      next = std::partition_point(next, next + std::min(step, end - next), inColumn);
    } else {
      while (next != end && columnOf(*next) == column) ++next;
    }
    double spanLow = it->y - it->error;
    double spanHigh = it->y + it->error;
    for (auto bar = it + 1; bar != next; ++bar) {
      spanLow = std::min(spanLow, bar->y - bar->error);
      spanHigh = std::max(spanHigh, bar->y + bar->error);
    }
    flush(static_cast<double>(column), spanLow, spanHigh);
    it = next;
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
