// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCommandLineParser>
#include <algorithm>
#include <cstring>
#include <string>

#include "kestrum_version.h"
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
  out << "\n\"kestrum-tool <command> --help\" describes a command; --version shows the version.\n"
         "Exit codes: 0 success, 1 no measurements, 2 wrong usage or a file that could not be\n"
         "read or written.\n";
}

}  // namespace

int RunTool(const std::vector<std::string>& args, ToolIo& io) {
  QCommandLineParser parser;
  const QCommandLineOption help({"h", "help"}, "Lists the commands.");
  const QCommandLineOption version({"v", "version"}, "Shows the version.");
  parser.addOption(help);
  parser.addOption(version);
  parser.addPositionalArgument("command", "The command and its own words.");
  // Everything after the command name is the command's.
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  QStringList words{"kestrum-tool"};
  for (const std::string& word : args) words << ArgumentText(word);
  const bool understood = parser.parse(words);
  const QStringList command = parser.positionalArguments();

  if (parser.isSet(help) || (!command.isEmpty() && command[0] == "help")) {
    PrintToolHelp(io.out);
    return kExitSuccess;
  }
  if (parser.isSet(version) && command.isEmpty()) {
    io.out << "kestrum-tool " << kProgramVersion << "\n";
    return kExitSuccess;
  }
  if (!understood) {
    io.err << "kestrum-tool: " << ArgumentBytes(parser.errorText())
           << " See kestrum-tool --help.\n";
    return kExitFailure;
  }
  if (command.isEmpty()) {
    PrintToolHelp(io.err);
    return kExitFailure;
  }
  const std::string name = ArgumentBytes(command[0]);
  // The command's words as given, not converted back from Qt text.
  const std::vector<std::string> rest(args.end() - (command.size() - 1), args.end());
  for (const ToolCommand& tool : ToolCommands()) {
    if (name == tool.name) return tool.run(rest, io);
  }
  io.err << "kestrum-tool: unknown command \"" << name << "\"; see kestrum-tool --help\n";
  return kExitFailure;
}

}  // namespace kestrum::tool
