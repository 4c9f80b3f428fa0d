#include <iostream>

#include "tool/tool_command.h"

int main(int argc, char** argv) {
  kestrum::tool::ToolIo io{std::cout, std::cerr};
  return kestrum::tool::RunTool(std::vector<std::string>(argv + 1, argv + argc), io);
}
