// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_legend.h"

#include <algorithm>

#include "views/gui/chart_time.h"
#include "views/gui/error_bar_series.h"
#include "views/gui/reference_line.h"

namespace kestrum {
namespace {

bool HasPoints(QCPAbstractPlottable* plottable) {
  if (qobject_cast<ReferenceLine*>(plottable)) return true;
  bool found = false;
  plottable->getKeyRange(found);
  return found;
}

// The data range [low, high] that pixels a .. b span on an axis.
void CoordRange(QCPAxis* axis, double a, double b, double* low, double* high) {
  const double first = axis->pixelToCoord(a);
  const double second = axis->pixelToCoord(b);
  *low = std::min(first, second);
  *high = std::max(first, second);
}

// How many marks the legend would hide at `area` (pixels): each line point,
// each bar, and a reference line in 4-pixel pieces, with its label at the
// right end. Points are found by bisection over the keys, so a chart of
// 100,000 samples costs only what lies under the corner.
long long MarksIn(QCustomPlot& plot, const QRectF& area) {
  long long count = 0;
  const QRect plotArea = plot.axisRect()->rect();
  for (int i = 0; i < plot.plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot.plottable(i);
    if (!p->visible()) continue;
    double keyLow, keyHigh, valueLow, valueHigh;
    CoordRange(p->keyAxis(), area.left(), area.right(), &keyLow, &keyHigh);
    CoordRange(p->valueAxis(), area.top(), area.bottom(), &valueLow, &valueHigh);
    if (auto* graph = qobject_cast<QCPGraph*>(p)) {
      const auto end = graph->data()->findEnd(keyHigh, false);
      for (auto it = graph->data()->findBegin(keyLow, false); it != end; ++it) {
        if (it->value >= valueLow && it->value <= valueHigh) ++count;
      }
    } else if (auto* bars = qobject_cast<ErrorBarSeries*>(p)) {
      const std::vector<ErrorBarPoint>& points = bars->Points();
      auto first = std::partition_point(points.begin(), points.end(), [&](const ErrorBarPoint& b) {
        return ChartKeyFromDateTime(b.x) < keyLow;
      });
      for (; first != points.end() && ChartKeyFromDateTime(first->x) <= keyHigh; ++first) {
        if (first->y + first->error >= valueLow && first->y - first->error <= valueHigh) ++count;
      }
    } else if (auto* level = qobject_cast<ReferenceLine*>(p)) {
      const double y = p->valueAxis()->coordToPixel(level->Level());
      if (y >= area.top() && y <= area.bottom()) count += static_cast<long long>(area.width()) / 4;
      const bool underLabel =
          area.right() > plotArea.right() - 100 && y >= area.top() && y - 14 <= area.bottom();
      if (underLabel) count += 25;
    }
  }
  return count;
}

}  // namespace

Qt::Alignment EmptiestCorner(const QRectF& plot, const QSizeF& size,
                             const std::function<long long(const QRectF&)>& marksIn) {
  const Qt::Alignment corners[] = {Qt::AlignTop | Qt::AlignLeft, Qt::AlignTop | Qt::AlignRight,
                                   Qt::AlignBottom | Qt::AlignLeft,
                                   Qt::AlignBottom | Qt::AlignRight};
  Qt::Alignment best = corners[0];
  long long fewest = -1;
  for (const Qt::Alignment corner : corners) {
    const double x = corner & Qt::AlignLeft ? plot.left() : plot.right() - size.width();
    const double y = corner & Qt::AlignTop ? plot.top() : plot.bottom() - size.height();
    const long long covered = marksIn(QRectF(QPointF(x, y), size));
    if (fewest < 0 || covered < fewest) {
      fewest = covered;
      best = corner;
    }
  }
  return best;
}

void SyncChartLegend(QCustomPlot& plot, bool shown) {
  if (!shown) {
    plot.legend->setVisible(false);
    return;
  }
  plot.legend->setVisible(true);
  // In the order the series were made, reference lines last, however late a
  // series got its points.
  std::vector<QCPAbstractPlottable*> wanted;
  for (int i = 0; i < plot.plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot.plottable(i);
    if (!p->name().isEmpty() && HasPoints(p)) wanted.push_back(p);
  }
  std::vector<QCPAbstractPlottable*> listed;
  for (int i = 0; i < plot.legend->itemCount(); ++i) {
    if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot.legend->item(i))) {
      listed.push_back(item->plottable());
    }
  }
  if (listed != wanted) {
    plot.legend->clearItems();
    for (QCPAbstractPlottable* p : wanted) p->addToLegend();
  }
  const QSize size = plot.legend->minimumOuterSizeHint();
  plot.axisRect()->insetLayout()->setInsetAlignment(
      0, EmptiestCorner(plot.axisRect()->rect(), size,
                        [&plot](const QRectF& area) { return MarksIn(plot, area); }));
}

}  // namespace kestrum
