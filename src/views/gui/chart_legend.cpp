#include "views/gui/chart_legend.h"

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
  for (int i = 0; i < plot.plottableCount(); ++i) {
    QCPAbstractPlottable* p = plot.plottable(i);
    const bool wanted = !p->name().isEmpty() && HasPoints(p);
    const bool listed = plot.legend->hasItemWithPlottable(p);
    if (wanted && !listed) {
      p->addToLegend();
    } else if (!wanted && listed) {
      p->removeFromLegend();
    }
  }
}

}  // namespace kestrum
