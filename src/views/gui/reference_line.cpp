// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/reference_line.h"

#include <algorithm>
#include <cmath>

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

  QFont font = painter->font();
  font.setPixelSize(11);
  painter->setFont(font);
  const QString label = Label();
  const QFontMetricsF metrics(font);
  const QSizeF size(metrics.horizontalAdvance(label) + 6, metrics.height() + 1);
  double end = std::max(left, right) - 4;
  // Close to the line below, the label moves left of that line's label.
  if (below_ && std::abs(below_->labelRect_.bottom() - (y - 1)) < size.height()) {
    end = below_->labelRect_.left() - 6;
  }
  labelRect_ = QRectF(QPointF(end - size.width(), y - 1 - size.height()), size);
  painter->setPen(Qt::NoPen);
  painter->setBrush(QColor(255, 255, 255, 215));
  painter->drawRect(labelRect_);
  painter->setBrush(Qt::NoBrush);
  painter->setPen(pen().color());
  painter->drawText(labelRect_, Qt::AlignCenter, label);
}

void ReferenceLine::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
  applyDefaultAntialiasingHint(painter);
  painter->setPen(pen());
  painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

}  // namespace kestrum
