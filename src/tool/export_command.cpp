// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool export [--format text|csv] [--run I] [--from ... --to ...]
//                     [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn OUT
#include "records/csv_export.h"
#include "records/date_time_format.h"
#include "records/image_decoder.h"
#include "records/text_export.h"
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

int Usage(ToolIo& io, const std::string& problem) {
  io.err << "kestrum-tool export: " << problem << "\n" << kUsage;
  return kExitFailure;
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<ParsedArgs> read = ParseArgs(args, {"now", "format", "run", "from", "to"});
  if (read && read->help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (!read) return Usage(io, read.error());
  const ParsedArgs& parsed = read.value();
  if (parsed.positional.size() != 2) return Usage(io, "expects a data file and an output file");

  const auto format = parsed.options.find("format");
  const bool csv = format != parsed.options.end() && format->second == "csv";
  if (format != parsed.options.end() && !csv && format->second != "text")
    return Usage(io, "--format wants text or csv, not \"" + format->second + "\"");
  CsvSelection selection;
  if (const auto run = parsed.options.find("run"); run != parsed.options.end()) {
    const std::optional<long long> index = ParseWholeNumber(run->second, 0, kRunCapacity - 2);
    if (!index) return Usage(io, "--run wants a run index 0.." + std::to_string(kRunCapacity - 2));
    selection.run = static_cast<int>(*index);
  }
  bool wholeRange = true;
  if (const auto problem = ReadRangeEnds(parsed, selection.from, selection.to, wholeRange))
    return Usage(io, *problem);
  if (!csv && (selection.run >= 0 || !wholeRange))
    return Usage(io, "--run, --from and --to go with --format csv");

  std::optional<std::string> now;
  if (auto it = parsed.options.find("now"); it != parsed.options.end()) now = it->second;
  auto store = NewStore();
  const ToolOpenResult opened = OpenForTool("export", parsed.positional[0], now, false, *store, io);
  if (opened.exitCode != kExitSuccess) return opened.exitCode;
  const bool found = opened.open->decode.foundRuns;
  if (found && selection.run >= store->RunCount) {
    io.err << "kestrum-tool export: --run " << selection.run << " names no run; the file has "
           << store->RunCount << " (0.." << store->RunCount - 1 << ")\n";
    return kExitFailure;
  }

  std::string content;
  if (csv) {
    CsvExport exported = CsvExportContent(*store, selection);
    // Without measurements the header alone is written, as the text export does.
    if (found && exported.rows == 0) {
      io.err << "kestrum-tool export: no sample lies in the range\n";
      return kExitNoResult;
    }
    content = std::move(exported.text);
  } else {
    content = TextExportContent(*store, SystemDateTimeSeparators());
  }
  const std::string& target = parsed.positional[1];
  const Result<> written = WriteToolOutput(target, content, io);
  if (!written) {
    io.err << "kestrum-tool export: " << CannotWriteText(target, written.error()) << "\n";
    return kExitFailure;
  }
  if (!found) {
    io.err << kNoMeasurementsMessage << "\n";
    return kExitNoResult;
  }
  return kExitSuccess;
}

}  // namespace kestrum::tool
