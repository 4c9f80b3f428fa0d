// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool assess as kestrum-report and the tests run it: with the
// writer that draws the test report.
#include "tool/offscreen_application.h"
#include "tool/test_report_job.h"
#include "views/gui/test_report.h"

namespace kestrum::tool {
namespace {

Result<> WriteTestReport(const TestReportJob& job) {
  EnsureOffscreenApplication();
  return SaveTestReport(job.report, TestChartOf(job.input), job.paper, job.path);
}

}  // namespace

int RunAssessCommand(const std::vector<std::string>& args, ToolIo& io) {
  return RunAssess(args, io, &WriteTestReport);
}

}  // namespace kestrum::tool
