// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/reference_line.h"

#include "assessment/reference_levels.h"
#include "views/summary_text.h"

namespace kestrum {

QColor ReferenceLineColor(double level, int otherIndex) {
  static const QColor standard[] = {QColor(230, 140, 0), QColor(200, 0, 120), QColor(120, 0, 0)};
  static const QColor others[] = {QColor(90, 90, 90), QColor(0, 120, 120), QColor(120, 80, 0)};
  const int index = StandardLevelIndex(level);
  if (index >= 0) return standard[index];
  return others[otherIndex % 3];
}

ReferenceLine::ReferenceLine(QCPAxis* keyAxis, QCPAxis* valueAxis, double level, RadonUnit unit,
                             const QColor& color)
    : QCPAbstractPlottable(keyAxis, valueAxis), level_(level), unit_(unit) {
  setSelectable(QCP::stNone);
  setAntialiased(false);
  setPen(QPen(color, 1, Qt::DashLine));
  setBrush(Qt::NoBrush);
  setName(Label());
}

QString ReferenceLine::Label() const {
  return ReferenceLevelText(level_, unit_);
}

double ReferenceLine::selectTest(const QPointF&, bool, QVariant*) const {
  return -1;
}

QCPRange ReferenceLine::getKeyRange(bool& foundRange, QCP::SignDomain) const {
  foundRange = false;  // spans whatever time is shown
  return {};
}

QCPRange ReferenceLine::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                      const QCPRange&) const {
  foundRange = inSignDomain != QCP::sdNegative;
  return QCPRange(level_, level_);
}

void ReferenceLine::draw(QCPPainter* painter) {
  QCPAxis* keyAxis = mKeyAxis.data();
  QCPAxis* valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) return;
  const double y = valueAxis->coordToPixel(level_);
  const double left = keyAxis->coordToPixel(keyAxis->range().lower);
  const double right = keyAxis->coordToPixel(keyAxis->range().upper);
  applyDefaultAntialiasingHint(painter);
  painter->setPen(pen());
  painter->drawLine(QLineF(left, y, right, y));
}

void ReferenceLine::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
  applyDefaultAntialiasingHint(painter);
  painter->setPen(pen());
  painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

}  // namespace kestrum
