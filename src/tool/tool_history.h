// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The measurement history as kestrum-tool opens it, and what the instrument
// commands note in its activity log. A history that cannot be opened or
// written never fails an instrument command: the problem goes to stderr.

#include <cstdint>
#include <memory>
#include <string>

#include "commands/measurement_download.h"
#include "history/history_store.h"
#include "tool/tool_command.h"

namespace kestrum::tool {

// OpenProgramHistory, with its notice (if any) on stderr after `prefix`
// ("kestrum-tool history: "). Null, with the reason on stderr, when it
// cannot be opened.
std::unique_ptr<HistoryStore> OpenToolHistory(const std::string& prefix, DateTime now, ToolIo& io,
                                              bool fill = true);

// Imports the kept download and records the download's outcome.
void NoteToolDownload(const std::string& prefix, const DownloadOutcome& outcome,
                      const MeasurementStore& store, DateTime now, ToolIo& io);

// Records one entry of `kind` ("clock", "erase", "level") for the selected instrument.
void NoteToolActivity(const std::string& prefix, const char* kind, std::uint8_t modelCode,
                      const std::string& text, DateTime now, ToolIo& io);

}  // namespace kestrum::tool
