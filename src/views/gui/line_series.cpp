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
  graph_->data()->set(data, false);
  if (!points_.empty()) {
    const auto [lo, hi] =
        std::minmax_element(points_.begin(), points_.end(),
                            [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    minX_ = lo->x;
    maxX_ = hi->x;
  }
  Changed();
}

bool LineSeries::XExtent(DateTime* min, DateTime* max) const {
  if (points_.empty()) return false;
  *min = minX_;
  *max = maxX_;
  return true;
}

void LineSeries::Changed() {
  if (QCustomPlot* plot = graph_->parentPlot()) plot->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace kestrum
