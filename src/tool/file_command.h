// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame of the commands that read a data file (decode, export, means,
// level, summary, report, assess): their words, the one usage text, the
// file opened as the program opens it with --now, the run chosen, and the
// same failures with the same exit codes.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "records/measurement_store.h"
#include "tool/command_voice.h"
#include "tool/reported.h"
#include "tool/tool_command.h"
#include "tool/tool_open.h"
#include "tool/tool_options.h"

namespace kestrum::tool {

class FileCommand : public CommandVoice {
 public:
  FileCommand(const char* name, const char* usage, ToolIo& io)
      : CommandVoice(name, usage, io), name_(name) {}

  // The words. --help prints the usage (exit 0); words that are wrong, or
  // not exactly `files` file names (`filesProblem` then says what is
  // expected), print the problem and the usage (exit 2).
  Reported<ParsedArgs> Parse(const std::vector<std::string>& args,
                             const std::vector<std::string>& options,
                             const std::vector<std::string>& flags, std::size_t files,
                             const char* filesProblem) const;

  // The data file, opened with --now: a bad --now or a rejected file is
  // reported (exit 2).
  ToolOpenResult Open(const ParsedArgs& parsed, const std::string& path, MeasurementStore& store,
                      bool writeFiles = false) const;
  // The same, and a file without measurements is reported (exit 1).
  Reported<OpenedFile> OpenWithRuns(const ParsedArgs& parsed, const std::string& path,
                                    MeasurementStore& store) const;
  // A run index the words gave must name one of the file's runs ("All
  // measurements" is none): reported otherwise (exit 2).
  std::optional<int> RunNamesNoRun(long long run, const MeasurementStore& store) const;

 private:
  const char* name_;
};

}  // namespace kestrum::tool
