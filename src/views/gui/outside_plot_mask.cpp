// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/outside_plot_mask.h"

namespace kestrum {

OutsidePlotMask::OutsidePlotMask(QCustomPlot* plot, QCPAxisRect* plotArea, const QString& layer)
    : QCPLayerable(plot, layer), plotArea_(plotArea) {
  setVisible(false);
}

void OutsidePlotMask::applyDefaultAntialiasingHint(QCPPainter* painter) const {
  painter->setAntialiasing(false);
}

void OutsidePlotMask::draw(QCPPainter* painter) {
  const QRect all = parentPlot()->viewport();
  const QRect inner = plotArea_->rect();
  QRegion outside(all);
  outside -= QRegion(inner);
  painter->setPen(Qt::NoPen);
  painter->setBrush(Qt::white);
  for (const QRect& r : outside) painter->drawRect(r);
}

}  // namespace kestrum
