// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the chart draws beyond its original look, all off by default:
// reference levels, the unit of the radon axis and a legend.

#include <vector>

#include "views/radon_units.h"

namespace kestrum {

struct ChartAdditions {
  std::vector<double> referenceLevels;  // Bq/m3, each a labelled line on the left axis
  RadonUnit unit = RadonUnit::BqPerM3;
  bool legend = false;

  bool operator==(const ChartAdditions& other) const {
    return referenceLevels == other.referenceLevels && unit == other.unit && legend == other.legend;
  }
  bool operator!=(const ChartAdditions& other) const { return !(*this == other); }
};

}  // namespace kestrum
