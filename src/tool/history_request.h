// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the subcommands of "kestrum-tool history" share: their words, the
// clock, the way problems are reported and the history, opened on demand
// so that bad words never touch it.

#include <memory>
#include <string>

#include "history/history_store.h"
#include "tool/command_voice.h"
#include "tool/reported.h"
#include "tool/run_range_options.h"
#include "tool/tool_command.h"
#include "tool/tool_options.h"

namespace kestrum::tool {

class HistoryRequest : public CommandVoice {
 public:
  HistoryRequest(const char* subcommand, const char* usage, const ParsedArgs& parsed, DateTime now,
                 ToolIo& io)
      : CommandVoice(std::string("history ") + subcommand, usage, io), parsed(parsed), now(now) {}

  const ParsedArgs& parsed;
  const DateTime now;

  // The value of --name, or null.
  const std::string* Option(const char* name) const;
  // The problem on stderr; kExitNoResult.
  int NothingMatches(const std::string& problem) const {
    return CommandVoice::Failed(problem, kExitNoResult);
  }
  // The problem on stderr; kExitFailure.
  int Failed(const std::string& problem) const;

  // The program's history (OpenProgramHistory), its notice on stderr; null,
  // reported, when it cannot be opened.
  HistoryStore* Store();
  // The history file alone, without the import of missing kept downloads
  // that OpenProgramHistory does, for a command that reports that import.
  HistoryStore* PlainStore();

  // --from and --to (together or neither): both ends included; without
  // them every time.
  Reported<RangeEnds> ReadRange() const;
  // --instrument (required) and the range.
  struct InstrumentRange {
    std::string instrument;
    RangeEnds range;
  };
  Reported<InstrumentRange> ReadInstrumentRange() const;
  // The program's history and the instrument it knows by `name`.
  struct OpenedInstrument {
    HistoryStore* store;
    HistoryInstrument instrument;
  };
  Reported<OpenedInstrument> OpenInstrument(const std::string& name);

 private:
  HistoryStore* Opened(Result<std::unique_ptr<HistoryStore>> opened);

  std::unique_ptr<HistoryStore> store_;
};

// The subcommands, in history_reading.cpp and history_changes.cpp.
int HistoryRuns(HistoryRequest& request);
int HistorySummary(HistoryRequest& request);
int HistoryExport(HistoryRequest& request);
int HistoryActivity(HistoryRequest& request);
int HistoryRebuild(HistoryRequest& request);
int HistoryImport(HistoryRequest& request);
int HistoryShow(HistoryRequest& request);
int HistorySite(HistoryRequest& request);
int HistoryNote(HistoryRequest& request);
int HistoryExclude(HistoryRequest& request);
int HistoryRedate(HistoryRequest& request);
int HistoryInstrumentCalibration(HistoryRequest& request);

}  // namespace kestrum::tool
