// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/run_range_options.h"

#include "assessment/reference_levels.h"
#include "records/image_decoder.h"
#include "tool/tool_open.h"

namespace kestrum::tool {

std::vector<std::string> RunRangeOptionNames() {
  return {"now", "run", "from", "to", "levels"};
}

std::optional<DateTime> ParseRangeEnd(std::string text) {
  if (text.size() == 16 && text[10] == ' ') text[10] = 'T';
  return ParseDateTime(text, false);
}

std::optional<std::string> ReadRangeEnds(const ParsedArgs& parsed, DateTime& from, DateTime& to,
                                         bool& wholeRange) {
  from = -1e9;
  to = 1e9;
  wholeRange = true;
  const bool hasFrom = parsed.options.count("from") != 0;
  const bool hasTo = parsed.options.count("to") != 0;
  if (hasFrom != hasTo) return "--from and --to go together";
  if (!hasFrom) return std::nullopt;
  const char* names[2] = {"from", "to"};
  DateTime ends[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    const std::string& text = parsed.options.at(names[i]);
    const std::optional<DateTime> end = ParseRangeEnd(text);
    if (!end) {
      return std::string("--") + names[i] + " wants a date-time \"YYYY-MM-DD HH:MM\", not \"" +
             text + "\"";
    }
    ends[i] = *end;
  }
  if (ends[0] > ends[1]) return "--from lies after --to";
  from = ends[0] - kEndTolerance;
  to = ends[1] + kEndTolerance;
  wholeRange = false;
  return std::nullopt;
}

RunRangeRequest ReadRunRange(const char* command, const ParsedArgs& parsed, const std::string& path,
                             ToolIo& io, int (*usage)(ToolIo&, const std::string&)) {
  RunRangeRequest out;
  const auto fail = [&](const std::string& problem) {
    out.exitCode = usage(io, problem);
    return std::move(out);
  };
  const auto runText = parsed.options.find("run");
  if (runText == parsed.options.end()) return fail("--run is required");
  const std::optional<long long> run = ParseWholeNumber(runText->second, 0, kRunCapacity - 1);
  if (!run) return fail("--run wants a run index 0.." + std::to_string(kRunCapacity - 2));
  out.run = static_cast<int>(*run);

  if (std::optional<std::string> problem = ReadRangeEnds(parsed, out.from, out.to, out.wholeRun))
    return fail(*problem);
  if (const auto it = parsed.options.find("levels"); it != parsed.options.end()) {
    if (!ParseLevelList(it->second, &out.levels)) {
      return fail("--levels wants positive numbers up to 100000 Bq/m3 separated by commas, not \"" +
                  it->second + "\"");
    }
  }

  std::optional<std::string> now;
  if (auto it = parsed.options.find("now"); it != parsed.options.end()) now = it->second;
  out.store = NewStore();
  const ToolOpenResult opened = OpenForTool(command, path, now, false, *out.store, io);
  if (opened.exitCode != kExitSuccess) {
    out.exitCode = opened.exitCode;
    return out;
  }
  if (!opened.open->decode.foundRuns) {
    io.err << kNoMeasurementsMessage << "\n";
    out.exitCode = kExitNoResult;
    return out;
  }
  if (out.run >= out.store->RunCount) {
    io.err << "kestrum-tool " << command << ": --run " << out.run << " names no run; the file has "
           << out.store->RunCount << " (0.." << out.store->RunCount - 1 << ")\n";
    out.exitCode = kExitFailure;
    return out;
  }
  return out;
}

}  // namespace kestrum::tool
