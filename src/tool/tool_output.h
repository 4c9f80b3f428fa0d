// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where kestrum-tool writes a file: through the one write routine, or to
// standard output when the name is "-".

#include <string>
#include <string_view>

#include "records/result.h"
#include "tool/tool_command.h"

namespace kestrum::tool {

Result<> WriteToolOutput(const std::string& path, std::string_view content, ToolIo& io);

// "cannot write PATH: ERROR", or just the error when no name was given.
std::string CannotWriteText(const std::string& path, const std::string& error);

}  // namespace kestrum::tool
