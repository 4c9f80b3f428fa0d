// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A reference level on the radon axis: a dashed horizontal line across the
// plot; its name and value stand beside the plot (level_labels.h). A
// plottable, so that the axis scales to take it in, the legend can name it
// and every picture and print-out draws it.

#include <qcustomplot.h>

#include "views/radon_units.h"

namespace kestrum {

class ReferenceLine : public QCPAbstractPlottable {
  Q_OBJECT
 public:
  ReferenceLine(QCPAxis* keyAxis, QCPAxis* valueAxis, double level, RadonUnit unit,
                const QColor& color);

  double Level() const { return level_; }
  // "WHO 100 Bq/m3", "Custom 250 Bq/m3".
  QString Label() const;

  double selectTest(const QPointF& pos, bool onlySelectable,
                    QVariant* details = nullptr) const override;
  QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
  QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                         const QCPRange& inKeyRange = QCPRange()) const override;

 protected:
  void draw(QCPPainter* painter) override;
  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

 private:
  double level_;  // Bq/m3, as the axis coordinates are
  RadonUnit unit_;
};

// The colour of a reference line, fixed by its level: each standard level
// has its own; other levels take the next of their own colours, `otherIndex`
// counting them.
QColor ReferenceLineColor(double level, int otherIndex);

}  // namespace kestrum
