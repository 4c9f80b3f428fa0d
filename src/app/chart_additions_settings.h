// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart additions chosen in the View menu, kept between runs in the
// settings group "chart".

#include <QString>
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

  // The levels in ascending order, each once.
  ChartAdditions ForChart() const;
};

ChartAdditionChoices LoadChartAdditionChoices();
void SaveChartAdditionChoices(const ChartAdditionChoices& choices);

// The site and operator lines of the main window's report, kept in the
// settings group "report" and offered again at the next report.
struct ReportDetails {
  QString site;
  QString operatorName;
};

ReportDetails LoadReportDetails();
void SaveReportDetails(const ReportDetails& details);

}  // namespace kestrum
