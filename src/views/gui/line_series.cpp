// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/line_series.h"

#include <algorithm>

#include "views/gui/chart_time.h"

namespace kestrum {

LineSeries::LineSeries(QCPGraph* graph) : graph_(graph) {}

void LineSeries::Clear() {
  points_.clear();
  graph_->data()->clear();
  Changed();
}

void LineSeries::AddXY(DateTime x, double y) {
  if (points_.empty()) {
    minX_ = maxX_ = x;
  } else {
    minX_ = std::min(minX_, x);
    maxX_ = std::max(maxX_, x);
  }
  points_.push_back({x, y});
  graph_->addData(ChartKeyFromDateTime(x), y);
  Changed();
}

void LineSeries::SetPoints(std::vector<ChartPoint> points) {
  points_ = std::move(points);
  QVector<QCPGraphData> data;
  data.reserve(static_cast<int>(points_.size()));
  for (const ChartPoint& p : points_) data.append(QCPGraphData(ChartKeyFromDateTime(p.x), p.y));
  // Strictly ascending keys need no sort; equal keys keep the sort's order.
  const bool ascending = std::adjacent_find(points_.begin(), points_.end(),
                                            [](const ChartPoint& a, const ChartPoint& b) {
                                              return !(a.x < b.x);
                                            }) == points_.end();
  graph_->data()->set(data, ascending);
  if (!points_.empty()) {
    const auto [lo, hi] =
        std::minmax_element(points_.begin(), points_.end(),
                            [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    minX_ = lo->x;
    maxX_ = hi->x;
  }
  Changed();
}

std::optional<TimeRange> LineSeries::XExtent() const {
  if (points_.empty()) return std::nullopt;
  return TimeRange{minX_, maxX_};
}

std::optional<QCPRange> LineSeries::ValueRange() const {
  if (!valueRangeKnown_) {
    valueRange_ = graph_->getValueRange(valueRangeFound_);
    valueRangeKnown_ = true;
  }
  if (!valueRangeFound_) return std::nullopt;
  return valueRange_;
}

void LineSeries::Changed() {
  valueRangeKnown_ = false;
  if (QCustomPlot* plot = graph_->parentPlot()) plot->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace kestrum
