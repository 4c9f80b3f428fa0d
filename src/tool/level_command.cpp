// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool level [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn --from "YYYY-MM-DD HH:MM" --to "..."
#include "records/date_time.h"
#include "records/image_decoder.h"
#include "tool/file_command.h"
#include "tool/run_range_options.h"
#include "tool/tool_command.h"
#include "tool/tool_open.h"
#include "tool/tool_options.h"
#include "views/date_time_text.h"
#include "views/footer_line.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool level [--now YYYY-MM-DDTHH:MM:SS] FILE.Rn\n"
    "                          --from \"YYYY-MM-DD HH:MM\" --to \"YYYY-MM-DD HH:MM\"\n"
    "Opens FILE.Rn as the program does and prints the chart footer for the visible time range\n"
    "from..to (both ends included): \"StartTime: ..., EndTime: ... Radonlevel "
    ":LEVEL\u00b1ERROR\",\n"
    "the level being the mean concentration of all samples (every run) inside the range.\n"
    "Dates and times follow the system's short date and long time formats, as on the chart.\n"
    "  --now   the local date-time that K7/K8 run starts are checked against (default: the clock)\n"
    "Exit codes: 0 printed; 1 no runs; 2 wrong usage or a rejected file.\n";

}  // namespace

int RunLevelCommand(const std::vector<std::string>& args, ToolIo& io) {
  const FileCommand command("level", kUsage, io);
  const Reported<ParsedArgs> words =
      command.Parse(args, {"now", "from", "to"}, {}, 1, "expects exactly one data file");
  if (!words) return words.ExitCode();
  const ParsedArgs& parsed = *words;

  std::optional<DateTime> ends[2];
  const char* names[2] = {"from", "to"};
  for (int i = 0; i < 2; ++i) {
    const auto it = parsed.options.find(names[i]);
    if (it == parsed.options.end())
      return command.Usage(std::string("--") + names[i] + " is required");
    ends[i] = ParseRangeEnd(it->second);
    if (!ends[i]) {
      return command.Usage(std::string("--") + names[i] +
                           " wants a date-time \"YYYY-MM-DD HH:MM\", not \"" + it->second + "\"");
    }
  }
  const DateTime from = *ends[0];
  const DateTime to = *ends[1];
  if (from > to) return command.Usage("--from lies after --to");

  auto store = NewStore();
  const Reported<OpenedFile> opened = command.OpenWithRuns(parsed, parsed.positional[0], *store);
  if (!opened) return opened.ExitCode();

  // A range starting at the zero date-time is the chart's "nothing drawn":
  // the footer stays empty, as on the chart.
  const DateTime min = from == 0 ? 0 : from - kEndTolerance;
  const QString footer = FooterLine(*store, min, to + kEndTolerance, SystemDateTimeFormats());
  io.out << footer.toUtf8().toStdString() << "\n";
  return kExitSuccess;
}

}  // namespace kestrum::tool
