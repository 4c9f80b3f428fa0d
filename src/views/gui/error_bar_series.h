// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An error-bar series: for every point a vertical line from y - error to
// y + error with 10-pixel whiskers at both ends, no box. x values are
// DateTimes.
//
// A full run holds some 20,000 bars, far more than the plot has pixel
// columns. Before drawing, the bars that fall into one pixel column are
// merged into one span (lowest y - error to highest y + error); the picture
// is the same and a replot stays within a frame.

#include <optional>
#include <vector>

#include <qcustomplot.h>

#include "views/chart_points.h"

namespace kestrum {

class ErrorBarSeries : public QCPAbstractPlottable {
  Q_OBJECT
 public:
  static constexpr double kWhiskerWidth = 10;

  ErrorBarSeries(QCPAxis* keyAxis, QCPAxis* valueAxis);

  void Clear();
  void AddXYError(DateTime x, double y, double error);
  void SetPoints(std::vector<ErrorBarPoint> points);

  int Count() const { return static_cast<int>(points_.size()); }
  // Points in ascending x (the order they are added in practice).
  const ErrorBarPoint& At(int index) const;
  const std::vector<ErrorBarPoint>& Points() const;

  // Earliest and latest x; none when there are no bars.
  std::optional<TimeRange> XExtent() const;

  // How many vertical spans the last draw painted (for tests and timing).
  int LastDrawnSpans() const { return lastDrawnSpans_; }

  double selectTest(const QPointF& pos, bool onlySelectable,
                    QVariant* details = nullptr) const override;
  QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
  QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                         const QCPRange& inKeyRange = QCPRange()) const override;

 protected:
  void draw(QCPPainter* painter) override;
  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

 private:
  void Changed();
  void EnsureSorted() const;

  mutable std::vector<ErrorBarPoint> points_;
  mutable bool sorted_ = true;
  // The whole value range over both signs, asked for before every replot.
  mutable bool valueRangeKnown_ = false;
  mutable bool valueRangeFound_ = false;
  mutable QCPRange valueRange_;
  int lastDrawnSpans_ = 0;
};

}  // namespace kestrum
