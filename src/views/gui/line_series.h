// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line series of the chart (no point markers) whose x values are DateTimes.
// Keeps the points as given, so readers get back exactly what was drawn.

#include <optional>
#include <vector>

#include <qcustomplot.h>

#include "views/chart_points.h"

namespace kestrum {

class LineSeries {
 public:
  explicit LineSeries(QCPGraph* graph);
  LineSeries(const LineSeries&) = delete;
  LineSeries& operator=(const LineSeries&) = delete;

  void Clear();
  void AddXY(DateTime x, double y);
  void SetPoints(std::vector<ChartPoint> points);

  int Count() const { return static_cast<int>(points_.size()); }
  const ChartPoint& At(int index) const { return points_[static_cast<std::size_t>(index)]; }
  const std::vector<ChartPoint>& Points() const { return points_; }
  QCPGraph* Graph() const { return graph_; }

  // Smallest and largest x; none when the series is empty.
  std::optional<TimeRange> XExtent() const;
  // The graph's whole value range, as QCPGraph::getValueRange gives it, kept
  // until the points change: the chart asks for it before every replot.
  std::optional<QCPRange> ValueRange() const;

 private:
  void Changed();

  QCPGraph* graph_;
  std::vector<ChartPoint> points_;
  DateTime minX_ = 0;
  DateTime maxX_ = 0;
  mutable bool valueRangeKnown_ = false;
  mutable bool valueRangeFound_ = false;
  mutable QCPRange valueRange_;
};

}  // namespace kestrum
