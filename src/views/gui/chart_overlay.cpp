// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_overlay.h"

namespace kestrum {

ChartOverlay::ChartOverlay(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPAbstractPlottable(keyAxis, valueAxis) {
  setSelectable(QCP::stNone);
}

double ChartOverlay::selectTest(const QPointF&, bool, QVariant*) const {
  return -1;
}

QCPRange ChartOverlay::getKeyRange(bool& foundRange, QCP::SignDomain) const {
  foundRange = false;  // the data decides what time is shown
  return {};
}

QCPRange ChartOverlay::getValueRange(bool& foundRange, QCP::SignDomain, const QCPRange&) const {
  foundRange = false;
  return {};
}

}  // namespace kestrum
