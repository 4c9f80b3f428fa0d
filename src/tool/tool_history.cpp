// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/tool_history.h"

#include <optional>

#include "activity/command_activity.h"
#include "commands/command_cycle.h"
#include "history/history_fill.h"
#include "history/program_history.h"
#include "link/instrument_detection.h"
#include "records/kept_downloads.h"
#include "records/program_data_folder.h"

namespace kestrum::tool {
namespace {

void ReportProblem(const std::string& prefix, const Result<>& noted, ToolIo& io) {
  if (!noted) io.err << prefix << "history: " << noted.error() << "\n";
}

}  // namespace

std::unique_ptr<HistoryStore> OpenToolHistory(const std::string& prefix, DateTime now, ToolIo& io,
                                              bool fill) {
  Result<std::unique_ptr<HistoryStore>> opened = OpenProgramHistory(now, fill);
  if (!opened) {
    io.err << prefix << "the history cannot be opened: " << opened.error() << "\n";
    return nullptr;
  }
  std::unique_ptr<HistoryStore> store = std::move(opened.value());
  if (store && store->Notice()) io.err << prefix << *store->Notice() << "\n";
  return store;
}

void NoteToolDownload(const std::string& prefix, const DownloadOutcome& outcome,
                      const MeasurementStore& store, DateTime now, ToolIo& io) {
  // The download is taken first, so that it is logged as the download it is.
  const std::unique_ptr<HistoryStore> history = OpenToolHistory(prefix, now, io, false);
  // A read-only history was reported as such when opened.
  if (history && !history->ReadOnly()) {
    // A store made again gets the user's words back before the download is logged.
    const bool rebuilt = history->AwaitsRestore();
    if (rebuilt) {
      const HistoryFill fill = FillHistory(*history, ProgramDataFolder(), now);
      if (fill.restore) io.err << prefix << fill.RestoreText() << "\n";
    }
    ReportProblem(prefix, NoteDownload(history.get(), outcome, store, now), io);
    if (!rebuilt) (void)FillHistory(*history, ProgramDataFolder(), now);
  }
}

void NoteToolActivity(const std::string& prefix, const char* kind, std::uint8_t modelCode,
                      const std::string& text, DateTime now, ToolIo& io) {
  const std::unique_ptr<HistoryStore> history = OpenToolHistory(prefix, now, io);
  if (!history || history->ReadOnly()) return;
  ReportProblem(
      prefix, NoteActivity(history.get(), {now, kind, CommandInstrumentName(modelCode), text}), io);
}

}  // namespace kestrum::tool
