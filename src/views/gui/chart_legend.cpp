// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_legend.h"

#include <vector>

#include "views/gui/reference_line.h"

namespace kestrum {
namespace {

bool HasPoints(QCPAbstractPlottable* plottable) {
  if (qobject_cast<ReferenceLine*>(plottable)) return true;
  bool found = false;
  plottable->getKeyRange(found);
  return found;
}

}  // namespace

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
}

}  // namespace kestrum
