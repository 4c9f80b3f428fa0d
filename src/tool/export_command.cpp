// kestrum-tool export [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn OUT.txt
#include "records/date_time_format.h"
#include "records/image_decoder.h"
#include "records/text_export.h"
#include "tool/tool_command.h"
#include "tool/tool_open.h"
#include "tool/tool_options.h"
#include "tool/tool_output.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool export [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn OUT.txt\n"
    "Opens FILE.Rn as the program does and writes the text export of all its samples to\n"
    "OUT.txt, byte for byte as the program's Save command writes it (\"-\": standard output).\n"
    "  --now   the local date-time that K7/K8 run starts are checked against (default: the clock)\n"
    "Exit codes: 0 written; 1 no measurements (only the header line is written); 2 wrong usage,\n"
    "a rejected file or a file that could not be written.\n";

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<ParsedArgs> read = ParseArgs(args, {"now"});
  if (read && read->help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (!read || read->positional.size() != 2) {
    io.err << "kestrum-tool export: "
           << (read ? "expects a data file and an output file" : read.error()) << "\n"
           << kUsage;
    return kExitFailure;
  }
  const ParsedArgs& parsed = read.value();
  std::optional<std::string> now;
  if (auto it = parsed.options.find("now"); it != parsed.options.end()) now = it->second;

  auto store = NewStore();
  const ToolOpenResult opened = OpenForTool("export", parsed.positional[0], now, false, *store, io);
  if (opened.exitCode != kExitSuccess) return opened.exitCode;

  const std::string& target = parsed.positional[1];
  const Result<> written =
      WriteToolOutput(target, TextExportContent(*store, SystemDateTimeSeparators()), io);
  if (!written) {
    io.err << "kestrum-tool export: " << CannotWriteText(target, written.error()) << "\n";
    return kExitFailure;
  }
  if (!opened.open->decode.foundRuns) {
    io.err << kNoMeasurementsMessage << "\n";
    return kExitNoResult;
  }
  return kExitSuccess;
}

}  // namespace kestrum::tool
