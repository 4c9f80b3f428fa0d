// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool summary FILE.Rn --run I [--from "YYYY-MM-DD HH:MM" --to "..."] [--levels L,...]
#include "tool/assessment_options.h"
#include "tool/file_command.h"
#include "tool/run_range_options.h"
#include "tool/summary_output.h"
#include "tool/tool_command.h"
#include "tool/tool_options.h"
#include "views/run_summary.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool summary [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn --run I\n"
    "                            [--from \"YYYY-MM-DD HH:MM\" --to \"YYYY-MM-DD HH:MM\"]\n"
    "                            [--levels L1,L2,...] [--calibration-uncertainty P]\n"
    "Opens FILE.Rn as the program does and prints the summary of run I (0-based, as in the\n"
    "\"Select Measurement\" list) over from..to, both ends included (default: the whole run),\n"
    "as key=value lines: samples, first, last, mean_bqm3, uncertainty_bqm3 (as the chart\n"
    "footer computes them), max_bqm3, max_at, min_bqm3, min_at; then for each reference level\n"
    "\"level=L hours_above=N verdict=above|below|undecided more_days=N|none\", the verdict of\n"
    "\"kestrum-tool assess --protocol period\" (its uncertainty takes in the day-to-day\n"
    "variation: under three full days nothing is decided); then for each calendar day\n"
    "\"day=YYYY-MM-DD count=N mean_bqm3=M\" (a sample belongs to the day its hour lies in).\n"
    "Numbers have three decimals, times read YYYY-MM-DDTHH:MM.\n"
    "  --levels  reference levels in Bq/m3, e.g. 100,148,300\n"
    "  --calibration-uncertainty  the instrument's, in per cent (default 10, assumed)\n"
    "  --now     the local date-time that K7/K8 run starts are checked against (default: the "
    "clock)\n"
    "Exit codes: 0 printed; 1 no runs, or no sample in the range; 2 wrong usage, a run index\n"
    "that names no run, or a rejected file.\n";

}  // namespace

int RunSummaryCommand(const std::vector<std::string>& args, ToolIo& io) {
  std::vector<std::string> names = RunRangeOptionNames();
  names.emplace_back("calibration-uncertainty");
  const FileCommand command("summary", kUsage, io);
  const Reported<ParsedArgs> words =
      command.Parse(args, names, {}, 1, "expects exactly one data file");
  if (!words) return words.ExitCode();
  const ParsedArgs& parsed = *words;
  const Reported<RunRange> request = ReadRunRange(command, parsed, parsed.positional[0]);
  if (!request) return request.ExitCode();

  const Result<AssessmentRequest> assessing = ReadCalibrationWords(parsed, request->levels);
  if (!assessing) return command.Usage(assessing.error());
  const RunSummary s = SummariseRun(*request->store, request->run, request->range.from,
                                    request->range.to, request->levels, assessing.value());
  if (s.samples == 0) {
    return command.Failed("no sample of run " + std::to_string(request->run) + " lies in the range",
                          kExitNoResult);
  }
  PrintRunSummary(io.out, s);
  return kExitSuccess;
}

}  // namespace kestrum::tool
