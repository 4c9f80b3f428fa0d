// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/tool_history.h"

#include <optional>

#include "commands/command_cycle.h"
#include "history/command_activity.h"
#include "link/instrument_detection.h"
#include "records/kept_downloads.h"

namespace kestrum::tool {
namespace {

void ReportProblem(const std::string& prefix, const std::string& problem, ToolIo& io) {
  if (!problem.empty()) io.err << prefix << "history: " << problem << "\n";
}

}  // namespace

std::unique_ptr<HistoryStore> OpenToolHistory(const std::string& prefix, DateTime now, ToolIo& io) {
  Result<std::unique_ptr<HistoryStore>> opened = OpenProgramHistory(now);
  if (!opened) {
    io.err << prefix << "the history cannot be opened: " << opened.error() << "\n";
    return nullptr;
  }
  std::unique_ptr<HistoryStore> store = std::move(opened.value());
  if (store && !store->Notice().empty()) io.err << prefix << store->Notice() << "\n";
  return store;
}

void NoteToolDownload(const std::string& prefix, const DownloadOutcome& outcome,
                      const MeasurementStore& store, DateTime now, ToolIo& io) {
  const std::unique_ptr<HistoryStore> history = OpenToolHistory(prefix, now, io);
  // A read-only history was reported as such when opened.
  if (history && !history->ReadOnly()) {
    ReportProblem(prefix, NoteDownload(history.get(), outcome, store, now), io);
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
