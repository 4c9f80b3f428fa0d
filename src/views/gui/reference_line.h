#pragma once
// A reference level on the radon axis: a dashed horizontal line across the
// plot with its value written above the right end. A plottable, so that the
// axis scales to take it in, the legend can name it and every picture and
// print-out draws it.

#include <qcustomplot.h>

#include "views/radon_units.h"

namespace kestrum {

class ReferenceLine : public QCPAbstractPlottable {
  Q_OBJECT
 public:
  ReferenceLine(QCPAxis* keyAxis, QCPAxis* valueAxis, double level, RadonUnit unit,
                const QColor& color);

  double Level() const { return level_; }
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

// The colour of the n-th reference line.
QColor ReferenceLineColor(int index);

}  // namespace kestrum
