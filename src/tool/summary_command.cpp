// kestrum-tool summary FILE.Rn --run I [--from "YYYY-MM-DD HH:MM" --to "..."] [--levels L,...]
#include <charconv>
#include <cstdio>

#include "records/date_time.h"
#include "tool/run_range_options.h"
#include "tool/tool_command.h"
#include "tool/tool_options.h"
#include "views/run_summary.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool summary [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn --run I\n"
    "                            [--from \"YYYY-MM-DD HH:MM\" --to \"YYYY-MM-DD HH:MM\"]\n"
    "                            [--levels L1,L2,...]\n"
    "Opens FILE.Rn as the program does and prints the summary of run I (0-based, as in the\n"
    "\"Select Measurement\" list) over from..to, both ends included (default: the whole run),\n"
    "as key=value lines: samples, first, last, mean_bqm3, uncertainty_bqm3 (as the chart\n"
    "footer computes them), max_bqm3, max_at, min_bqm3, min_at; then for each reference level\n"
    "\"level=L hours_above=N verdict=above|below|undecided\" (above: mean - 2 x uncertainty\n"
    "lies above L; below: mean + 2 x uncertainty lies below L); then for each calendar day\n"
    "\"day=YYYY-MM-DD count=N mean_bqm3=M\" (a sample belongs to the day its hour lies in).\n"
    "Numbers have three decimals, times read YYYY-MM-DDTHH:MM.\n"
    "  --levels  reference levels in Bq/m3, e.g. 100,148,300\n"
    "  --now     the local date-time that K7/K8 run starts are checked against (default: the "
    "clock)\n"
    "Exit codes: 0 printed; 1 no runs, or no sample in the range; 2 wrong usage, a run index\n"
    "that names no run, or a rejected file.\n";

int Usage(ToolIo& io, const std::string& problem) {
  io.err << "kestrum-tool summary: " << problem << "\n" << kUsage;
  return kExitFailure;
}

std::string Number(double value) {
  char text[400];
  const std::to_chars_result end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
  return std::string(text, end.ptr);
}

std::string Minute(DateTime value) {
  // Sample times can lie a rounding step below their minute.
  const DateTimeFields f = SplitDateTime(value + kOneMillisecond / 2);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", f.year, f.month, f.day, f.hour,
                f.minute);
  return text;
}

}  // namespace

int RunSummaryCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<ParsedArgs> read = ParseArgs(args, RunRangeOptionNames());
  if (!read) return Usage(io, read.error());
  const ParsedArgs& parsed = read.value();
  if (parsed.help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (parsed.positional.size() != 1) return Usage(io, "expects exactly one data file");
  const RunRangeRequest request = ReadRunRange("summary", parsed, parsed.positional[0], io, Usage);
  if (request.exitCode != kExitSuccess) return request.exitCode;

  const RunSummary s =
      SummariseRun(*request.store, request.run, request.from, request.to, request.levels);
  if (s.samples == 0) {
    io.err << "kestrum-tool summary: no sample of run " << request.run << " lies in the range\n";
    return kExitNoResult;
  }
  std::ostream& out = io.out;
  out << "samples=" << s.samples << "\n"
      << "first=" << Minute(s.first) << "\n"
      << "last=" << Minute(s.last) << "\n"
      << "mean_bqm3=" << Number(static_cast<double>(s.level.mean)) << "\n"
      << "uncertainty_bqm3=" << Number(static_cast<double>(s.level.uncertainty)) << "\n"
      << "max_bqm3=" << Number(s.highest) << "\n"
      << "max_at=" << Minute(s.highestAt) << "\n"
      << "min_bqm3=" << Number(s.lowest) << "\n"
      << "min_at=" << Minute(s.lowestAt) << "\n";
  for (const LevelJudgement& j : s.judgements) {
    out << "level=" << Number(j.level) << " hours_above=" << j.hoursAbove
        << " verdict=" << VerdictWord(j.verdict) << "\n";
  }
  for (const DailyMean& d : s.days) {
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", d.year, d.month, d.day);
    out << "day=" << day << " count=" << d.count << " mean_bqm3=" << Number(d.mean) << "\n";
  }
  return kExitSuccess;
}

}  // namespace kestrum::tool
