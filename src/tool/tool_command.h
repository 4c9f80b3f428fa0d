// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kestrum-tool: the command line twin of the program. Every command lives in
// its own file and is listed once in tool_commands.def.

#include <ostream>
#include <string>
#include <vector>

namespace kestrum::tool {

// Exit codes shared by all commands.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitNoResult = 1;  // e.g. an image without measurements
inline constexpr int kExitFailure = 2;   // wrong usage, rejected or unwritable file

struct ToolIo {
  std::ostream& out;
  std::ostream& err;
};

// args are the words after the command name.
using ToolCommandFunction = int (*)(const std::vector<std::string>& args, ToolIo& io);

struct ToolCommand {
  const char* name;
  const char* summary;  // one line for "kestrum-tool --help"
  ToolCommandFunction run;
};

const std::vector<ToolCommand>& ToolCommands();

// Runs "kestrum-tool args..." (args without the program name).
int RunTool(const std::vector<std::string>& args, ToolIo& io);

}  // namespace kestrum::tool
