// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// White cover for everything around the plot area, drawn above the series
// and below axes, title and footer. Qt's SVG generator ignores clipping, so
// without it an exported vector picture shows lines and bars running past
// the plot's edges when zoomed. Off except while such a picture is drawn.

#include <qcustomplot.h>

namespace kestrum {

class OutsidePlotMask : public QCPLayerable {
  Q_OBJECT
 public:
  OutsidePlotMask(QCustomPlot* plot, QCPAxisRect* plotArea, const QString& layer);

 protected:
  void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
  void draw(QCPPainter* painter) override;

 private:
  QCPAxisRect* plotArea_;
};

}  // namespace kestrum
