#pragma once
// The chart additions chosen in the View menu, kept between runs in the
// settings group "chart".

#include <optional>

#include "views/chart_additions.h"

namespace kestrum {

struct ChartAdditionChoices {
  bool level100 = false;
  bool level148 = false;
  bool level300 = false;
  std::optional<double> customLevel;  // Bq/m3
  RadonUnit unit = RadonUnit::BqPerM3;
  bool legend = false;
  bool summary = false;  // the summary dock shown
  bool readout = false;  // the reading under the mouse pointer

  // The levels in the order the menu lists them.
  ChartAdditions ForChart() const;
};

ChartAdditionChoices LoadChartAdditionChoices();
void SaveChartAdditionChoices(const ChartAdditionChoices& choices);

}  // namespace kestrum
