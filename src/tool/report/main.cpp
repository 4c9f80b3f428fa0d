// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-report: the report command in a program of its own, so that
// kestrum-tool, which starts it for "kestrum-tool report", never loads the
// widgets and QCustomPlot. It takes the words that follow "report".
#include <exception>
#include <iostream>

#include "tool/tool_command.h"

namespace kestrum::tool {
int RunReportCommand(const std::vector<std::string>& args, ToolIo& io);
}

int main(int argc, char** argv) {
  kestrum::tool::ToolIo io{std::cout, std::cerr};
  try {
    return kestrum::tool::RunReportCommand(std::vector<std::string>(argv + 1, argv + argc), io);
  } catch (const std::exception& e) {
    std::cerr << "kestrum-tool report: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "kestrum-tool report: an unexpected error\n";
  }
  return kestrum::tool::kExitFailure;
}
