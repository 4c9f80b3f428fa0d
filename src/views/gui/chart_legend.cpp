// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_legend.h"

#include <algorithm>
#include <array>

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

// How many marks the legend would hide at `top` and at `bottom`, two areas
// (pixels) over the same columns: each line point, each bar, and a reference
// line in 4-pixel pieces, with its label at the right end. Points are found
// by bisection over the keys and read once for both areas, so a chart of
// 100,000 samples costs only what lies under the two corners.
std::array<long long, 2> MarksIn(QCustomPlot& plot, const QRectF& top, const QRectF& bottom) {
  std::array<long long, 2> count{0, 0};
  const QRectF areas[2] = {top, bottom};
  const QRect plotArea = plot.axisRect()->rect();
  for (int i = 0; i < plot.plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot.plottable(i);
    if (!p->visible()) continue;
    double keyLow, keyHigh;
    CoordRange(p->keyAxis(), top.left(), top.right(), &keyLow, &keyHigh);
    double valueLow[2], valueHigh[2];
    for (int a = 0; a < 2; ++a) {
      CoordRange(p->valueAxis(), areas[a].top(), areas[a].bottom(), &valueLow[a], &valueHigh[a]);
    }
    if (auto* graph = qobject_cast<QCPGraph*>(p)) {
      const auto end = graph->data()->findEnd(keyHigh, false);
      for (auto it = graph->data()->findBegin(keyLow, false); it != end; ++it) {
        for (int a = 0; a < 2; ++a) {
          if (it->value >= valueLow[a] && it->value <= valueHigh[a]) ++count[a];
        }
      }
    } else if (auto* bars = qobject_cast<ErrorBarSeries*>(p)) {
      const std::vector<ErrorBarPoint>& points = bars->Points();
      auto first = std::partition_point(points.begin(), points.end(), [&](const ErrorBarPoint& b) {
        return ChartKeyFromDateTime(b.x) < keyLow;
      });
      for (; first != points.end() && ChartKeyFromDateTime(first->x) <= keyHigh; ++first) {
        for (int a = 0; a < 2; ++a) {
          if (first->y + first->error >= valueLow[a] && first->y - first->error <= valueHigh[a]) {
            ++count[a];
          }
        }
      }
    } else if (auto* level = qobject_cast<ReferenceLine*>(p)) {
      const double y = p->valueAxis()->coordToPixel(level->Level());
      for (int a = 0; a < 2; ++a) {
        const QRectF& area = areas[a];
        if (y >= area.top() && y <= area.bottom()) {
          count[a] += static_cast<long long>(area.width()) / 4;
        }
        const bool underLabel =
            area.right() > plotArea.right() - 100 && y >= area.top() && y - 14 <= area.bottom();
        if (underLabel) count[a] += 25;
      }
    }
  }
  return count;
}

}  // namespace

Qt::Alignment EmptiestCorner(
    const QRectF& plot, const QSizeF& size,
    const std::function<std::array<long long, 2>(const QRectF& top, const QRectF& bottom)>&
        marksIn) {
  const double left = plot.left();
  const double right = plot.right() - size.width();
  const std::array<long long, 2> leftMarks =
      marksIn(QRectF(QPointF(left, plot.top()), size),
              QRectF(QPointF(left, plot.bottom() - size.height()), size));
  const std::array<long long, 2> rightMarks =
      marksIn(QRectF(QPointF(right, plot.top()), size),
              QRectF(QPointF(right, plot.bottom() - size.height()), size));
  const std::pair<Qt::Alignment, long long> corners[] = {
      {Qt::AlignTop | Qt::AlignLeft, leftMarks[0]},
      {Qt::AlignTop | Qt::AlignRight, rightMarks[0]},
      {Qt::AlignBottom | Qt::AlignLeft, leftMarks[1]},
      {Qt::AlignBottom | Qt::AlignRight, rightMarks[1]}};
  Qt::Alignment best = corners[0].first;
  long long fewest = corners[0].second;
  for (const auto& [corner, covered] : corners) {
    if (covered < fewest) {
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
                        [&plot](const QRectF& top, const QRectF& bottom) {
                          return MarksIn(plot, top, bottom);
                        }));
}

}  // namespace kestrum
