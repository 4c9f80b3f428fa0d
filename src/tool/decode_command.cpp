// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool decode [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn
#include "records/image_decoder.h"
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
  const Result<ParsedArgs> read = ParseArgs(args, {"now"});
  if (read && read->help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (!read || read->positional.size() != 1) {
    io.err << "kestrum-tool decode: " << (read ? "expects exactly one data file" : read.error())
           << "\n"
           << kUsage;
    return kExitFailure;
  }
  const ParsedArgs& parsed = read.value();
  std::optional<std::string> now;
  if (auto it = parsed.options.find("now"); it != parsed.options.end()) now = it->second;

  auto store = NewStore();
  const ToolOpenResult opened = OpenForTool("decode", parsed.positional[0], now, true, *store, io);
  if (!opened.open) return opened.exitCode;  // bad --now or a rejected file

  const DecodeResult& decode = opened.open->decode;
  for (const std::string& item : decode.itemTexts) io.out << item << "\n";
  if (decode.foundRuns) io.out << kAllMeasurementsText << "\n";
  if (!decode.foundRuns) io.err << kNoMeasurementsMessage << "\n";
  if (opened.exitCode != kExitSuccess) return opened.exitCode;
  return decode.foundRuns ? kExitSuccess : kExitNoResult;
}

}  // namespace kestrum::tool
