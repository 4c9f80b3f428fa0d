// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/tool_open.h"

#include "records/date_time.h"
#include "records/date_time_format.h"
#include "tool/tool_options.h"

namespace kestrum::tool {

std::unique_ptr<MeasurementStore> NewStore() {
  return std::make_unique<MeasurementStore>();
}

ToolOpenResult OpenForTool(const char* command, const std::string& path,
                           const std::optional<std::string>& nowText, bool writeFiles,
                           MeasurementStore& store, ToolIo& io) {
  ToolOpenResult result;
  DecodeContext context;
  context.writeFiles = writeFiles;
  context.separators = SystemDateTimeSeparators();
  if (nowText) {
    const std::optional<DateTime> now = ParseDateTime(*nowText, true);
    if (!now) {
      io.err << "kestrum-tool " << command
             << ": --now wants a date-time YYYY-MM-DDTHH:MM:SS, not \"" << *nowText << "\"\n";
      result.exitCode = kExitFailure;
      return result;
    }
    context.now = *now;
  } else {
    context.now = CurrentLocalDateTime();
  }

  Result<OpenedFile> opened = OpenDataFile(path, store, context);
  if (!opened) {
    io.err << "kestrum-tool " << command << ": " << opened.error() << "\n";
    result.exitCode = kExitFailure;
    return result;
  }
  result.open = std::move(opened).value();
  if (!result.open->note.empty())
    io.err << "kestrum-tool " << command << ": " << result.open->note << "\n";
  const DecodeResult& decode = result.open->decode;
  if (!decode.dateTimeError.empty()) io.err << decode.dateTimeError << "\n";
  if (!decode.filesWritten) {
    io.err << "kestrum-tool " << command << ": cannot write " << decode.failedFile << ": "
           << decode.filesWritten.error() << "\n";
    result.exitCode = kExitFailure;
  }
  return result;
}

}  // namespace kestrum::tool
