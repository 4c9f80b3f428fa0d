// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/tool_command.h"

namespace kestrum::tool {

#define KESTRUM_TOOL_COMMAND(name, function, summary) \
  int function(const std::vector<std::string>& args, ToolIo& io);
#include "tool/tool_commands.def"
#undef KESTRUM_TOOL_COMMAND

const std::vector<ToolCommand>& ToolCommands() {
  static const std::vector<ToolCommand> commands = {
#define KESTRUM_TOOL_COMMAND(name, function, summary) {name, summary, function},
#include "tool/tool_commands.def"
#undef KESTRUM_TOOL_COMMAND
  };
  return commands;
}

}  // namespace kestrum::tool
