// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/tool_output.h"

#include "records/checked_file.h"

namespace kestrum::tool {

Result<> WriteToolOutput(const std::string& path, std::string_view content, ToolIo& io) {
  if (path != "-") return WriteFileReplacing(path, content);
  io.out.write(content.data(), static_cast<std::streamsize>(content.size()));
  io.out.flush();
  if (!io.out) return Fail("standard output could not be written");
  return {};
}

std::string CannotWriteText(const std::string& path, const std::string& error) {
  if (path.empty()) return error;
  return "cannot write " + path + ": " + error;
}

}  // namespace kestrum::tool
