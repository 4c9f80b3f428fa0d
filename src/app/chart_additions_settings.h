// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart additions chosen in the View menu, kept between runs in the
// settings group "chart".

#include <QString>
#include <optional>

#include "assessment/condition_marks.h"
#include "views/chart_additions.h"
#include "views/test_report_content.h"

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
  // The changes from the hour before that mark an hour's conditions.
  ConditionThresholds thresholds;

  // The levels in ascending order, each once.
  ChartAdditions ForChart() const;
};

ChartAdditionChoices LoadChartAdditionChoices();
void SaveChartAdditionChoices(const ChartAdditionChoices& choices);

// What a report says of whom it is for and by whom. The site, operator,
// certification number, paper and the one-page choice are kept in the
// settings group "report" and offered again; the client and address are
// kept with the site in the history.
struct ReportDetails {
  QString site;
  QString operatorName;
  QString certification;
  QString client;
  QString address;
  ReportPaper paper = PaperOfLocale(QLocale::system());
  // The one-page report of the period, as it always was; off: the test report.
  bool onePage = true;
  // How it is asked: the site given by the runs shown, and whether the
  // one-page report is offered (for the period only).
  bool siteFixed = false;
  bool onePageOffered = true;
};

ReportDetails LoadReportDetails();
void SaveReportDetails(const ReportDetails& details);

}  // namespace kestrum
