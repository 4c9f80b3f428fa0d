// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/collocation.h"

#include <cmath>

#include "records/date_time.h"

namespace kestrum {

double Collocation::RelativePercentDifference() const {
  const double average = Average();
  return average == 0 ? 0 : std::abs(ownMean - otherMean) / average * 100;
}

Collocation Collocate(HourSpan own, HourSpan other) {
  Collocation out;
  double ownSum = 0;
  double otherSum = 0;
  std::size_t j = 0;
  for (const HourlySample& a : own) {
    while (j < other.size() && other[j].time <= a.time - kOneHour / 2) ++j;
    if (j == other.size()) break;
    if (other[j].time < a.time + kOneHour / 2) {
      ownSum += a.concentration;
      otherSum += other[j].concentration;
      ++out.sharedHours;
      ++j;
    }
  }
  if (out.sharedHours > 0) {
    out.ownMean = ownSum / out.sharedHours;
    out.otherMean = otherSum / out.sharedHours;
  }
  return out;
}

}  // namespace kestrum
