// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_time.h"

namespace kestrum {
namespace {

constexpr double kUnixEpochDay = 25569.0;  // 1 January 1970 as a DateTime
constexpr double kSecondsPerDay = 86400.0;

}  // namespace

double ChartKeyFromDateTime(DateTime value) {
  return (value - kUnixEpochDay) * kSecondsPerDay;
}

DateTime DateTimeFromChartKey(double key) {
  return key / kSecondsPerDay + kUnixEpochDay;
}

}  // namespace kestrum
