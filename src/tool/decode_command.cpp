// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool decode [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn
#include "records/image_decoder.h"
#include "tool/file_command.h"
#include "tool/tool_command.h"
#include "tool/tool_open.h"
#include "tool/tool_options.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool decode [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn\n"
    "Reads FILE.Rn as the program's Open command does and decodes it into the current\n"
    "directory (\"k5dat.tmp\", and \"debug.tmp\" for K6-K8). Prints the \"Select Measurement\"\n"
    "items, one per line, then \"All measurements\".\n"
    "  --now   the local date-time that K7/K8 run starts are checked against (default: the clock)\n"
    "Exit codes: 0 runs found; 1 no runs (the files are still written); 2 wrong usage, a\n"
    "rejected file or a file that could not be written.\n";

}  // namespace

int RunDecodeCommand(const std::vector<std::string>& args, ToolIo& io) {
  const FileCommand command("decode", kUsage, io);
  const Reported<ParsedArgs> words =
      command.Parse(args, {"now"}, {}, 1, "expects exactly one data file");
  if (!words) return words.ExitCode();
  const ParsedArgs& parsed = *words;

  auto store = NewStore();
  const ToolOpenResult opened = command.Open(parsed, parsed.positional[0], *store, true);
  if (!opened.open) return opened.exitCode;  // bad --now or a rejected file

  const DecodeResult& decode = opened.open->decode;
  for (const std::string& item : decode.itemTexts) io.out << item << "\n";
  if (decode.foundRuns) io.out << kAllMeasurementsText << "\n";
  if (!decode.foundRuns) io.err << kNoMeasurementsMessage << "\n";
  if (opened.exitCode != kExitSuccess) return opened.exitCode;
  return decode.foundRuns ? kExitSuccess : kExitNoResult;
}

}  // namespace kestrum::tool
