// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool export [--format text|csv] [--run I] [--from ... --to ...]
//                     [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn OUT
#include "records/csv_export.h"
#include "records/date_time_format.h"
#include "records/image_decoder.h"
#include "records/text_export.h"
#include "tool/file_command.h"
#include "tool/run_range_options.h"
#include "tool/tool_command.h"
#include "tool/tool_open.h"
#include "tool/tool_options.h"
#include "tool/tool_output.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool export [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn OUT.txt\n"
    "       kestrum-tool export --format csv [--run I] [--from \"YYYY-MM-DD HH:MM\" --to \"...\"]\n"
    "                           [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn OUT.csv\n"
    "Opens FILE.Rn as the program does and writes the text export of all its samples to\n"
    "OUT.txt, byte for byte as the program's Save command writes it (\"-\": standard output).\n"
    "  --format  text (the default) or csv: a header row, then one row per sample with\n"
    "            time,run,bqm3,error_bqm3,pulses,temperature_c,humidity_percent,pressure_kpa\n"
    "            (ISO 8601 local minutes, runs counted from 0, a dot as decimal separator)\n"
    "  --run     csv only: the run I (counted from 0 in the order decode lists them), not all\n"
    "  --from, --to  csv only: the samples from .. to, both included\n"
    "  --now     the local date-time that K7/K8 run starts are checked against (default: the "
    "clock)\n"
    "Exit codes: 0 written; 1 no measurements (only the header line is written) or, for csv,\n"
    "no sample in the range (nothing written); 2 wrong usage, a rejected file or a file that\n"
    "could not be written.\n";

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, ToolIo& io) {
  const FileCommand command("export", kUsage, io);
  const Reported<ParsedArgs> words = command.Parse(args, {"now", "format", "run", "from", "to"}, {},
                                                   2, "expects a data file and an output file");
  if (!words) return words.ExitCode();
  const ParsedArgs& parsed = *words;

  const auto format = parsed.options.find("format");
  const bool csv = format != parsed.options.end() && format->second == "csv";
  if (format != parsed.options.end() && !csv && format->second != "text")
    return command.Usage("--format wants text or csv, not \"" + format->second + "\"");
  CsvSelection selection;
  if (const auto run = parsed.options.find("run"); run != parsed.options.end()) {
    const std::optional<long long> index = ParseWholeNumber(run->second, 0, kRunCapacity - 2);
    if (!index) return command.Usage(RunIndexProblem());
    selection.run = static_cast<int>(*index);
  }
  const Result<RangeEnds> range = ReadRangeEnds(parsed);
  if (!range) return command.Usage(range.error());
  selection.from = range->from;
  selection.to = range->to;
  if (!csv && (selection.run >= 0 || !range->whole))
    return command.Usage("--run, --from and --to go with --format csv");

  auto store = NewStore();
  const ToolOpenResult opened = command.Open(parsed, parsed.positional[0], *store);
  if (opened.exitCode != kExitSuccess) return opened.exitCode;
  const bool found = opened.open->decode.foundRuns;
  if (found) {
    if (const std::optional<int> code = command.RunNamesNoRun(selection.run, *store)) return *code;
  }

  std::string content;
  if (csv) {
    CsvExport exported = CsvExportContent(*store, selection);
    // Without measurements the header alone is written, as the text export does.
    if (found && exported.rows == 0)
      return command.Failed("no sample lies in the range", kExitNoResult);
    content = std::move(exported.text);
  } else {
    content = TextExportContent(*store, SystemDateTimeSeparators());
  }
  const std::string& target = parsed.positional[1];
  const Result<> written = WriteToolOutput(target, content, io);
  if (!written) return command.Failed(CannotWriteText(target, written.error()));
  if (!found) {
    io.err << kNoMeasurementsMessage << "\n";
    return kExitNoResult;
  }
  return kExitSuccess;
}

}  // namespace kestrum::tool
