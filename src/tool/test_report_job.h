// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "assess ... --report OUT.pdf": what the assessment hands to whoever draws
// the report. Drawing needs the chart widget, so kestrum-tool has no writer
// and starts kestrum-report for it (see report_launcher.cpp).

#include <string>
#include <vector>

#include "records/result.h"
#include "tool/tool_command.h"
#include "views/test_report_content.h"

namespace kestrum::tool {

struct TestReportJob {
  TestReportInput input;  // what the report was composed of; its chart's hours
  TestReport report;
  ReportPaper paper = ReportPaper::kA4;
  std::string path;
};

using TestReportWriter = Result<> (*)(const TestReportJob& job);

// The assess command; with --report and no writer it fails, naming why.
int RunAssess(const std::vector<std::string>& args, ToolIo& io, TestReportWriter writer);

// Whether the words ask for a report.
bool AsksForReport(const std::vector<std::string>& args);

}  // namespace kestrum::tool
