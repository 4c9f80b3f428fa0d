#include <algorithm>
#include <cstring>
#include <string>

#include "tool/tool_command.h"
#include "tool/tool_options.h"

namespace kestrum::tool {
namespace {

void PrintToolHelp(std::ostream& out) {
  out << "Usage: kestrum-tool <command> [options] ...\n"
         "The command line twin of the Kestrum program, for scripting and batch conversion.\n"
         "\nCommands:\n";
  for (const ToolCommand& command : ToolCommands()) {
    out << "  " << command.name
        << std::string(12 - std::min<std::size_t>(11, std::strlen(command.name)), ' ')
        << command.summary << "\n";
  }
  out << "\n\"kestrum-tool <command> --help\" describes a command.\n"
         "Exit codes: 0 success, 1 no measurements, 2 wrong usage or a file that could not be\n"
         "read or written.\n";
}

}  // namespace

int RunTool(const std::vector<std::string>& args, ToolIo& io) {
  if (args.empty()) {
    PrintToolHelp(io.err);
    return kExitFailure;
  }
  if (IsHelpOption(args[0]) || args[0] == "help") {
    PrintToolHelp(io.out);
    return kExitSuccess;
  }
  for (const ToolCommand& command : ToolCommands()) {
    if (args[0] == command.name) {
      return command.run(std::vector<std::string>(args.begin() + 1, args.end()), io);
    }
  }
  io.err << "kestrum-tool: unknown command \"" << args[0] << "\"; see kestrum-tool --help\n";
  return kExitFailure;
}

}  // namespace kestrum::tool
