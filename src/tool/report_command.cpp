// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool report FILE.Rn --run I [--from ... --to ...] [--levels L,...] [--units bqm3|pcil]
//                     OUT.pdf
#include "records/instrument_model.h"
#include "tool/file_command.h"
#include "tool/offscreen_application.h"
#include "tool/run_range_options.h"
#include "tool/tool_command.h"
#include "tool/tool_options.h"
#include "views/date_time_text.h"
#include "views/gui/chart_view_filling.h"
#include "views/gui/kestrum_chart.h"
#include "views/gui/measurement_report.h"
#include "views/model_channels.h"
#include "views/pulse_distribution.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool report [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn --run I\n"
    "                           [--from \"YYYY-MM-DD HH:MM\" --to \"YYYY-MM-DD HH:MM\"]\n"
    "                           [--levels L1,L2,...] [--units bqm3|pcil]\n"
    "                           [--site TEXT] [--operator TEXT] OUT.pdf\n"
    "Writes the one-page A4 measurement report of run I over from..to (default: the whole\n"
    "run), as the program's Main > Report does for the pulse distribution of that run: the\n"
    "chart with its legend and the reference levels, the summary, a statement for each level\n"
    "and the daily means. Needs no display.\n"
    "  --levels  reference levels in Bq/m3, e.g. 100,148,300\n"
    "  --units   bqm3 (default) or pcil: the unit of the chart's radon axis and the figures\n"
    "  --site --operator   where and by whom it was measured (default: \"not given\")\n"
    "The test report of a protocol, over as many pages as it takes, is \"assess --report\".\n"
    "Exit codes: 0 written; 1 no runs, or no sample in the range; 2 wrong usage, a run index\n"
    "that names no run, a rejected file, or a report that could not be written.\n";

}  // namespace

int RunReportCommand(const std::vector<std::string>& args, ToolIo& io) {
  std::vector<std::string> names = RunRangeOptionNames();
  for (const char* name : {"units", "site", "operator"}) names.emplace_back(name);
  const FileCommand command("report", kUsage, io);
  const Reported<ParsedArgs> words =
      command.Parse(args, names, {}, 2, "expects a data file and the report file");
  if (!words) return words.ExitCode();
  const ParsedArgs& parsed = *words;
  // "-" is no file a PDF can be read back from, and a terminal is no place for one.
  if (parsed.positional[1] == "-") {
    return command.Usage("the report goes to a file; \"-\" names none (give e.g. report.pdf)");
  }
  RadonUnit unit = RadonUnit::BqPerM3;
  if (const auto it = parsed.options.find("units"); it != parsed.options.end()) {
    if (it->second == "pcil") {
      unit = RadonUnit::PciPerL;
    } else if (it->second != "bqm3") {
      return command.Usage("--units wants bqm3 or pcil, not \"" + it->second + "\"");
    }
  }
  const Reported<RunRange> request = ReadRunRange(command, parsed, parsed.positional[0]);
  if (!request) return request.ExitCode();
  const MeasurementStore& store = *request->store;

  ReportContent content;
  // Without --levels the report still judges, against 100, 148 and 300 Bq/m3.
  const std::vector<double> levels = AscendingLevels(request->levels);
  content.summary = SummaryForReport(
      store, request->run,
      SummariseRun(store, request->run, request->range.from, request->range.to, levels));
  if (content.summary.samples == 0) {
    return command.Failed("no sample of run " + std::to_string(request->run) + " lies in the range",
                          kExitNoResult);
  }
  content.unit = unit;
  if (const auto model = ModelFromMarker(store.MemoryImage[0])) {
    content.source.model = QString::fromLatin1(ModelName(*model));
  }
  content.source.calibrationFactor = static_cast<double>(store.CalibrationFactor);
  std::string file = parsed.positional[0];
  if (const std::size_t slash = file.find_last_of('/'); slash != std::string::npos) {
    file = file.substr(slash + 1);
  }
  content.source.origin = QString::fromLocal8Bit(file.c_str());
  if (const auto it = parsed.options.find("site"); it != parsed.options.end()) {
    content.source.site = QString::fromStdString(it->second);
    content.assessedSite = content.source.site;
  }
  if (const auto it = parsed.options.find("operator"); it != parsed.options.end()) {
    content.source.operatorName = QString::fromStdString(it->second);
  }

  EnsureOffscreenApplication();
  KestrumChart chart;
  ChartAdditions additions;
  additions.referenceLevels = levels;
  additions.unit = unit;
  chart.SetAdditions(additions);
  FillPulseDistributionSeries(chart, ComputePulseDistribution(store, request->run, {}));
  if (!request->range.whole) chart.ZoomToTimeRange(request->range.from, request->range.to);
  WriteFooterLine(chart, store, SystemDateTimeFormats());

  const Result<> saved = SaveMeasurementReport(chart, content, parsed.positional[1]);
  if (!saved) return command.Failed("cannot write " + parsed.positional[1] + ": " + saved.error());
  return kExitSuccess;
}

}  // namespace kestrum::tool
