// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of the reference levels in a column of their own to the right
// of the plot (beyond the right axis), each at its level's height, stacked
// so that no two overlap and none is cut off: inside the plot a label would
// be crossed by bars and lines, and at the top it was clipped.

#include <qcustomplot.h>

#include <vector>

#include "views/gui/reference_line.h"

namespace kestrum {

class LevelLabels : public QCPLayoutElement {
  Q_OBJECT
 public:
  LevelLabels(QCustomPlot* plot, QCPAxisRect* plotArea);

  // The lines named, lowest level first; none empties the column.
  void SetLines(std::vector<const ReferenceLine*> lines);
  // Where each label was last drawn, in pixels, in the order of the lines.
  const std::vector<QRectF>& LabelRects() const { return rects_; }

  QSize minimumOuterSizeHint() const override;
  QSize maximumOuterSizeHint() const override;

 protected:
  void draw(QCPPainter* painter) override;

 private:
  QFont Font() const;
  QCPAxisRect* plotArea_;
  std::vector<const ReferenceLine*> lines_;
  std::vector<QRectF> rects_;
};

// Tops for labels of `height` wanted at `centres` (pixels, any order) within
// top..bottom: each as near its centre as the others allow, none
// overlapping, none outside. The result is in the order of `centres`.
std::vector<double> StackedLabelTops(const std::vector<double>& centres, double height, double top,
                                     double bottom);

}  // namespace kestrum
