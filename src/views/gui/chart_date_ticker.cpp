// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_date_ticker.h"

#include <algorithm>

namespace kestrum {
namespace {

constexpr double kMinimumLabelStepSeconds = 30 * 60;

}  // namespace

ChartDateTicker::ChartDateTicker() {
  setDateTimeFormat(QStringLiteral("dd/MM hh"));
  setDateTimeSpec(Qt::UTC);  // chart keys carry local times, see chart_time.h
}

double ChartDateTicker::getTickStep(const QCPRange& range) {
  return std::max(QCPAxisTickerDateTime::getTickStep(range), kMinimumLabelStepSeconds);
}

int ChartDateTicker::getSubTickCount(double /*tickStep*/) {
  return 1;
}

}  // namespace kestrum
