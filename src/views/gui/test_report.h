// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The test report as a PDF of as many pages as it takes: page 1 with the
// parties, the instrument, the test, the result and the chart of the whole
// test; then the advisories, the monthly means, the collocated instruments
// and the hourly table. Every page carries the report's title and its
// number. Every text is drawn as plain text, cut with an ellipsis where it
// would overflow its place.

#include <QByteArray>
#include <string>
#include <utility>
#include <vector>

#include "records/result.h"
#include "views/chart_additions.h"
#include "views/pulse_distribution.h"
#include "views/test_report_content.h"

namespace kestrum {

// What the report's chart shows: the whole test, never a window's zoom.
struct TestChart {
  PulseDistributionSeries series;
  std::vector<std::pair<double, double>> shaded;  // chart keys, as LeftOutSpans gives them
  ChartAdditions additions;
};

// The whole test's hours with their errors and the measured channels, the
// left-out hours shaded, the assessment's levels.
TestChart TestChartOf(const TestReportInput& input);

// The pages the report takes on that paper.
int TestReportPages(const TestReport& report, ReportPaper paper);

Result<QByteArray> DrawTestReport(const TestReport& report, const TestChart& chart,
                                  ReportPaper paper);

// Draws the report and writes it through the one write routine; a report
// over kMostReportPages is refused before anything is drawn.
Result<> SaveTestReport(const TestReport& report, const TestChart& chart, ReportPaper paper,
                        const std::string& path);

}  // namespace kestrum
