// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/file_command.h"

#include "records/image_decoder.h"

namespace kestrum::tool {

Reported<ParsedArgs> FileCommand::Parse(const std::vector<std::string>& args,
                                        const std::vector<std::string>& options,
                                        const std::vector<std::string>& flags, std::size_t files,
                                        const char* filesProblem) const {
  using Words = Reported<ParsedArgs>;
  Result<ParsedArgs> read = ParseArgs(args, options, flags);
  if (!read) return Words::Exit(Usage(read.error()));
  if (read->help) {
    Io().out << UsageText();
    return Words::Exit(kExitSuccess);
  }
  if (read->positional.size() != files) return Words::Exit(Usage(filesProblem));
  return std::move(read).value();
}

ToolOpenResult FileCommand::Open(const ParsedArgs& parsed, const std::string& path,
                                 MeasurementStore& store, bool writeFiles) const {
  std::optional<std::string> now;
  if (const auto it = parsed.options.find("now"); it != parsed.options.end()) now = it->second;
  return OpenForTool(name_, path, now, writeFiles, store, Io());
}

Reported<OpenedFile> FileCommand::OpenWithRuns(const ParsedArgs& parsed, const std::string& path,
                                               MeasurementStore& store) const {
  ToolOpenResult opened = Open(parsed, path, store);
  if (opened.exitCode != kExitSuccess) return Reported<OpenedFile>::Exit(opened.exitCode);
  if (!opened.open->decode.foundRuns) {
    Io().err << kNoMeasurementsMessage << "\n";
    return Reported<OpenedFile>::Exit(kExitNoResult);
  }
  return std::move(*opened.open);
}

std::optional<int> FileCommand::RunNamesNoRun(long long run, const MeasurementStore& store) const {
  // Runs[RunCount] is "All measurements", no run of its own.
  if (run < store.RunCount) return std::nullopt;
  return Failed("--run " + std::to_string(run) + " names no run; the file has " +
                std::to_string(store.RunCount) + " (0.." + std::to_string(store.RunCount - 1) +
                ")");
}

}  // namespace kestrum::tool
