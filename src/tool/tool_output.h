#pragma once
// Where kestrum-tool writes a file: through the one write routine, or to
// standard output when the name is "-".

#include <string>
#include <string_view>

#include "tool/tool_command.h"

namespace kestrum::tool {

// The error text, empty when written.
std::string WriteToolOutput(const std::string& path, std::string_view content, ToolIo& io);

// "cannot write PATH: ERROR", or just the error when no name was given.
std::string CannotWriteText(const std::string& path, const std::string& error);

}  // namespace kestrum::tool
