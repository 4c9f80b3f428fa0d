// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words that name a run and a time range inside it, shared by the
// summary and report commands: FILE.Rn --run I [--from "YYYY-MM-DD HH:MM"
// --to "..."] [--levels L1,L2,...] [--now ...].

#include <memory>
#include <string>
#include <vector>

#include "records/measurement_store.h"
#include "records/result.h"
#include "tool/file_command.h"
#include "tool/reported.h"
#include "tool/tool_command.h"
#include "tool/tool_options.h"

namespace kestrum::tool {

// --from and --to, widened by a quarter millisecond so that both ends are
// included; without them, every time.
struct RangeEnds {
  DateTime from = -1e9;
  DateTime to = 1e9;
  bool whole = true;  // neither --from nor --to given
};

struct RunRange {
  std::unique_ptr<MeasurementStore> store;
  int run = 0;
  RangeEnds range;
  std::vector<double> levels;
};

// The value options it reads; a command adds its own.
std::vector<std::string> RunRangeOptionNames();

// Checks the words and opens the file; problems are reported as the
// command reports them.
Reported<RunRange> ReadRunRange(const FileCommand& command, const ParsedArgs& parsed,
                                const std::string& path);

// --from and --to, together or neither: both ends included (widened by
// kEndTolerance), every time without them. Fails with the problem for the
// usage text when the words are wrong.
Result<RangeEnds> ReadRangeEnds(const ParsedArgs& parsed);

// --levels: none without it; fails with LevelListProblem.
Result<std::vector<double>> ReadLevelList(const ParsedArgs& parsed);

// The problems of a --run or --levels word that is wrong.
std::string RunIndexProblem();
std::string LevelListProblem(const std::string& text);

// "YYYY-MM-DD HH:MM"; the "T" of --now is taken as well.
std::optional<DateTime> ParseRangeEnd(std::string text);

// Sample times are built as start + (n + 1) / 24, which can miss the
// encoded minute by a rounding step; a quarter millisecond either way keeps
// both ends inclusive without changing the times the footer shows.
inline constexpr DateTime kEndTolerance = 1.0 / 86400000.0 / 4;

}  // namespace kestrum::tool
