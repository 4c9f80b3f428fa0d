// SPDX-License-Identifier: GPL-3.0-or-later
#include <exception>
#include <iostream>

#include "tool/tool_command.h"

int main(int argc, char** argv) {
  kestrum::tool::ToolIo io{std::cout, std::cerr};
  // The last resort: whatever was not foreseen ends with a message, not an abort.
  try {
    return kestrum::tool::RunTool(std::vector<std::string>(argv + 1, argv + argc), io);
  } catch (const std::exception& e) {
    std::cerr << "kestrum-tool: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "kestrum-tool: an unexpected error\n";
  }
  return kestrum::tool::kExitFailure;
}
