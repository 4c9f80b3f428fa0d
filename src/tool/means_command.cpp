// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool means [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn --run I --interval X [--error]
#include <charconv>
#include <cstdio>

#include "records/date_time.h"
#include "records/image_decoder.h"
#include "tool/file_command.h"
#include "tool/run_range_options.h"
#include "tool/tool_command.h"
#include "tool/tool_open.h"
#include "tool/tool_options.h"
#include "views/interval_table.h"
#include "views/mean_fallback.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool means [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn --run I\n"
    "                          --interval 2h|4h|8h|12h|24h|2d|7d|Mean [--error]\n"
    "Opens FILE.Rn as the program does and prints the mean line the chart draws for run I\n"
    "(0-based, in the order of the \"Select Measurement\" list; \"All measurements\" is not a\n"
    "run). The first line is \"# interval X\", the interval actually used: a run too short\n"
    "for the chosen one steps down to shorter intervals, each step printing\n"
    "\"Mean intervall > number of measurements\" on stderr. Then one line per mean point,\n"
    "\"YYYY-MM-DD HH:MM;MEAN\", the mean in Bq/m3 with three decimals.\n"
    "  --now     the local date-time that K7/K8 run starts are checked against (default: the "
    "clock)\n"
    "  --error   append \";ERROR\" (Bq/m3, three decimals) to the points that carry an error bar\n"
    "Exit codes: 0 means printed; 1 no runs, or the run is too short even for \"2h\" (no mean\n"
    "points); 2 wrong usage, a run index that names no run, or a rejected file.\n";

// The date-time of a point as "YYYY-MM-DD HH:MM"; sample times are whole minutes.
std::string MinuteText(DateTime value) {
  const DateTimeFields f = SplitDateTime(value);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", f.year, f.month, f.day, f.hour,
                f.minute);
  return text;
}

// Fixed three decimals with a point, whatever the C locale is set to.
std::string ThreeDecimals(double value) {
  char text[400];  // room for any finite double in fixed notation
  const std::to_chars_result end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
  return std::string(text, end.ptr);
}

void PrintMeans(const MeanFallbackResult& result, bool withError, std::ostream& out) {
  out << "# interval " << IntervalItemText(result.itemIndex) << "\n";
  const std::vector<ChartPoint>& mean = result.series.mean;
  const std::vector<ErrorBarPoint>& bars = result.series.meanWithError;
  // A moving mean's first point (the first full window) carries no bar, so
  // bar k belongs to point k + 1; the running mean has a bar on every point.
  const std::size_t firstBarPoint = IntervalSamples(result.itemIndex) > 0 ? 1 : 0;
  for (std::size_t k = 0; k < mean.size(); ++k) {
    out << MinuteText(mean[k].x) << ";" << ThreeDecimals(mean[k].y);
    if (withError && k >= firstBarPoint && k - firstBarPoint < bars.size()) {
      out << ";" << ThreeDecimals(bars[k - firstBarPoint].error);
    }
    out << "\n";
  }
}

}  // namespace

int RunMeansCommand(const std::vector<std::string>& args, ToolIo& io) {
  const FileCommand command("means", kUsage, io);
  const Reported<ParsedArgs> words = command.Parse(args, {"now", "run", "interval"}, {"error"}, 1,
                                                   "expects exactly one data file");
  if (!words) return words.ExitCode();
  const ParsedArgs& parsed = *words;
  const bool withError = parsed.flags.count("error") != 0;

  const auto runText = parsed.options.find("run");
  if (runText == parsed.options.end()) return command.Usage("--run is required");
  const std::optional<long long> run = ParseWholeNumber(runText->second, 0, kRunCapacity - 1);
  if (!run) return command.Usage(RunIndexProblem());

  const auto intervalText = parsed.options.find("interval");
  if (intervalText == parsed.options.end()) return command.Usage("--interval is required");
  const std::optional<int> item = IntervalItemFromText(intervalText->second);
  if (!item) return command.Usage("unknown interval \"" + intervalText->second + "\"");

  auto store = NewStore();
  const Reported<OpenedFile> opened = command.OpenWithRuns(parsed, parsed.positional[0], *store);
  if (!opened) return opened.ExitCode();
  // The means belong to a single run.
  if (const std::optional<int> code = command.RunNamesNoRun(*run, *store)) return *code;

  IntervalMeanOptions options;
  options.meanError = withError;
  const MeanFallbackResult result =
      ComputeMeansWithFallback(*store, static_cast<int>(*run), *item, options);
  for (int i = 0; i < result.fallbackMessages; ++i) io.err << kMeanTooLongMessage << "\n";
  PrintMeans(result, withError, io.out);
  return result.series.tooShort ? kExitNoResult : kExitSuccess;
}

}  // namespace kestrum::tool
