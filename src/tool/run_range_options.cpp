// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/run_range_options.h"

#include "assessment/reference_levels.h"
#include "records/image_decoder.h"
#include "tool/tool_open.h"

namespace kestrum::tool {

std::vector<std::string> RunRangeOptionNames() {
  return {"now", "run", "from", "to", "levels"};
}

std::string RunIndexProblem() {
  return "--run wants a run index 0.." + std::to_string(kRunCapacity - 2);
}

std::string LevelListProblem(const std::string& text) {
  return "--levels wants positive numbers up to 100000 Bq/m3 separated by commas, not \"" + text +
         "\"";
}

std::optional<DateTime> ParseRangeEnd(std::string text) {
  if (text.size() == 16 && text[10] == ' ') text[10] = 'T';
  return ParseDateTime(text, false);
}

Result<RangeEnds> ReadRangeEnds(const ParsedArgs& parsed) {
  const bool hasFrom = parsed.options.count("from") != 0;
  const bool hasTo = parsed.options.count("to") != 0;
  if (hasFrom != hasTo) return Fail("--from and --to go together");
  if (!hasFrom) return RangeEnds{};
  const char* names[2] = {"from", "to"};
  DateTime ends[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    const std::string& text = parsed.options.at(names[i]);
    const std::optional<DateTime> end = ParseRangeEnd(text);
    if (!end) {
      return Fail(std::string("--") + names[i] + " wants a date-time \"YYYY-MM-DD HH:MM\", not \"" +
                  text + "\"");
    }
    ends[i] = *end;
  }
  if (ends[0] > ends[1]) return Fail("--from lies after --to");
  return RangeEnds{ends[0] - kEndTolerance, ends[1] + kEndTolerance, false};
}

Result<std::vector<double>> ReadLevelList(const ParsedArgs& parsed) {
  const auto it = parsed.options.find("levels");
  if (it == parsed.options.end()) return std::vector<double>{};
  std::optional<std::vector<double>> levels = ParseLevelList(it->second);
  if (!levels) return Fail(LevelListProblem(it->second));
  return std::move(*levels);
}

Reported<RunRange> ReadRunRange(const FileCommand& command, const ParsedArgs& parsed,
                                const std::string& path) {
  const auto stop = [](int code) { return Reported<RunRange>::Exit(code); };
  RunRange out;
  const auto runText = parsed.options.find("run");
  if (runText == parsed.options.end()) return stop(command.Usage("--run is required"));
  const std::optional<long long> run = ParseWholeNumber(runText->second, 0, kRunCapacity - 1);
  if (!run) return stop(command.Usage(RunIndexProblem()));
  out.run = static_cast<int>(*run);

  Result<RangeEnds> range = ReadRangeEnds(parsed);
  if (!range) return stop(command.Usage(range.error()));
  out.range = range.value();
  Result<std::vector<double>> levels = ReadLevelList(parsed);
  if (!levels) return stop(command.Usage(levels.error()));
  out.levels = std::move(levels).value();

  out.store = NewStore();
  const Reported<OpenedFile> opened = command.OpenWithRuns(parsed, path, *out.store);
  if (!opened) return stop(opened.ExitCode());
  if (const std::optional<int> code = command.RunNamesNoRun(out.run, *out.store))
    return stop(*code);
  return Reported<RunRange>(std::move(out));
}

}  // namespace kestrum::tool
