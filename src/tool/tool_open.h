// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a data file for the decode and export commands, exactly as the
// program's Open command does, with the --now option's clock.

#include <memory>
#include <optional>
#include <string>

#include "records/measurement_store.h"
#include "records/open_data_file.h"
#include "tool/tool_command.h"

namespace kestrum::tool {

struct ToolOpenResult {
  // kExitFailure when the file was rejected or a decode file not written.
  int exitCode = kExitSuccess;
  std::optional<OpenedFile> open;  // set when the file was taken
};

// nowText: the --now option, if given (otherwise the clock). Reports a bad
// --now or a rejected file on io.err, prefixed with the command name.
ToolOpenResult OpenForTool(const char* command, const std::string& path,
                           const std::optional<std::string>& nowText, bool writeFiles,
                           MeasurementStore& store, ToolIo& io);

// A fresh store per command, so that the diagnostic text starts with "Memo1".
std::unique_ptr<MeasurementStore> NewStore();

}  // namespace kestrum::tool
