// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-report: the report command in a program of its own, so that
// kestrum-tool, which starts it for "kestrum-tool report", never loads the
// widgets and QCustomPlot. It takes the words that follow "report", or
// "--assess" and the words of an assessment that is to draw its report.
#include <exception>
#include <iostream>
#include <string>

#include "tool/tool_command.h"

namespace kestrum::tool {
int RunReportCommand(const std::vector<std::string>& args, ToolIo& io);
int RunAssessCommand(const std::vector<std::string>& args, ToolIo& io);
}  // namespace kestrum::tool

int main(int argc, char** argv) {
  kestrum::tool::ToolIo io{std::cout, std::cerr};
  try {
    // "--assess" first: kestrum-tool assess ... --report, started by kestrum-tool.
    if (argc > 1 && std::string(argv[1]) == "--assess") {
      return kestrum::tool::RunAssessCommand(std::vector<std::string>(argv + 2, argv + argc), io);
    }
    return kestrum::tool::RunReportCommand(std::vector<std::string>(argv + 1, argv + argc), io);
  } catch (const std::exception& e) {
    std::cerr << "kestrum-tool report: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "kestrum-tool report: an unexpected error\n";
  }
  return kestrum::tool::kExitFailure;
}
