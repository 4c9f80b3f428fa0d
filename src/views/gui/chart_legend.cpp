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

bool Covers(const QRectF& area, const QLineF& mark) {
  const double left = std::min(mark.x1(), mark.x2());
  const double right = std::max(mark.x1(), mark.x2());
  const double top = std::min(mark.y1(), mark.y2());
  const double bottom = std::max(mark.y1(), mark.y2());
  return right >= area.left() && left <= area.right() && bottom >= area.top() &&
         top <= area.bottom();
}

// What the legend could hide, in pixels: the lines piece by piece, each
// bar, and each reference line in short pieces with its label at the right.
std::vector<QLineF> Marks(QCustomPlot& plot) {
  std::vector<QLineF> marks;
  const QRect area = plot.axisRect()->rect();
  for (int i = 0; i < plot.plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot.plottable(i);
    if (!p->visible()) continue;
    QCPAxis* keys = p->keyAxis();
    QCPAxis* values = p->valueAxis();
    if (auto* graph = qobject_cast<QCPGraph*>(p)) {
      QPointF before;
      bool first = true;
      for (const QCPGraphData& d : *graph->data()) {
        const QPointF at(keys->coordToPixel(d.key), values->coordToPixel(d.value));
        marks.push_back(first ? QLineF(at, at) : QLineF(before, at));
        before = at;
        first = false;
      }
    } else if (auto* bars = qobject_cast<ErrorBarSeries*>(p)) {
      for (const ErrorBarPoint& b : bars->Points()) {
        const double x = keys->coordToPixel(ChartKeyFromDateTime(b.x));
        marks.emplace_back(x, values->coordToPixel(b.y - b.error), x,
                           values->coordToPixel(b.y + b.error));
      }
    } else if (auto* level = qobject_cast<ReferenceLine*>(p)) {
      const double y = values->coordToPixel(level->Level());
      for (int x = area.left(); x < area.right(); x += 4) marks.emplace_back(x, y, x + 4, y);
      for (int x = area.right() - 100; x < area.right(); x += 4) {
        marks.emplace_back(x, y - 14, x + 4, y);
      }
    }
  }
  return marks;
}

}  // namespace

Qt::Alignment EmptiestCorner(const QRectF& plot, const QSizeF& size,
                             const std::vector<QLineF>& marks) {
  const Qt::Alignment corners[] = {Qt::AlignTop | Qt::AlignLeft, Qt::AlignTop | Qt::AlignRight,
                                   Qt::AlignBottom | Qt::AlignLeft,
                                   Qt::AlignBottom | Qt::AlignRight};
  Qt::Alignment best = corners[0];
  long long fewest = -1;
  for (const Qt::Alignment corner : corners) {
    const double x = corner & Qt::AlignLeft ? plot.left() : plot.right() - size.width();
    const double y = corner & Qt::AlignTop ? plot.top() : plot.bottom() - size.height();
    const QRectF area(QPointF(x, y), size);
    const long long covered =
        std::count_if(marks.begin(), marks.end(), [&](const QLineF& m) { return Covers(area, m); });
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
      0, EmptiestCorner(plot.axisRect()->rect(), size, Marks(plot)));
}

}  // namespace kestrum
