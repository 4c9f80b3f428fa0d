// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The test the history window shows (its runs, range, protocol and
// thresholds) and what its CSV and test report say of one site. No widgets.

#include <string>
#include <vector>

#include "app/chart_additions_settings.h"
#include "assessment/assessment.h"
#include "assessment/condition_marks.h"
#include "history/history_hours.h"
#include "history/history_types.h"
#include "records/csv_export.h"
#include "views/test_report_content.h"

namespace kestrum {

struct HistoryTest {
  DateTime from = 0;
  DateTime to = 0;
  std::vector<RunHours> hours;
  AssessmentRequest request;
  ConditionThresholds thresholds;
  CsvChannels csvChannels;
  // The counted hours of each shown site.
  std::vector<SiteHours> Sites() const { return CountHoursPerSite(hours, from, to); }
};

// The test's hours of one site as the CSV keeps them.
std::string HistoryTestCsv(const HistoryTest& test, const SiteHours& site);

// The test report of one site: `assessment` is of `site`'s hours, and both
// must outlive what is given back. The instruments beside it are the caller's.
TestReportInput HistoryTestReport(const HistoryTest& test, const SiteHours& site,
                                  const Assessment& assessment, const HistoryInstrument& instrument,
                                  const ReportDetails& details, RadonUnit unit);

}  // namespace kestrum
