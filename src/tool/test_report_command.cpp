// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool assess as kestrum-report and the tests run it: with the
// writer that draws the test report.
#include "tool/offscreen_application.h"
#include "tool/test_report_job.h"
#include "views/gui/shaded_hours.h"
#include "views/gui/test_report.h"

namespace kestrum::tool {
namespace {

Result<> WriteTestReport(const TestReportJob& job) {
  EnsureOffscreenApplication();
  TestChart chart;
  chart.series = ComputePulseDistribution(job.counted->samples, job.lines);
  chart.shaded = LeftOutSpans(job.counted->samples, job.leftOut);
  chart.additions = job.additions;
  return SaveTestReport(job.report, chart, job.paper, job.path);
}

}  // namespace

int RunAssessCommand(const std::vector<std::string>& args, ToolIo& io) {
  return RunAssess(args, io, &WriteTestReport);
}

}  // namespace kestrum::tool
