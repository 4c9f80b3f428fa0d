// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/program_history.h"

#include "history/history_files.h"
#include "history/history_fill.h"
#include "records/program_data_folder.h"

namespace kestrum {

Result<std::unique_ptr<HistoryStore>> OpenProgramHistory(DateTime now, bool fill) {
  const std::string dataFolder = ProgramDataFolder();
  HistoryOpenOptions options;
  options.now = now;
  Result<std::unique_ptr<HistoryStore>> opened =
      HistoryStore::Open(HistoryFilePath(dataFolder), options);
  if (!opened) return opened;
  HistoryStore& store = *opened.value();
  // A damaged store was replaced, or a program was killed during an import:
  // what the kept downloads hold and the store lacks is taken now, and a
  // store made new gets the user's words back.
  if (fill) (void)FillHistory(store, dataFolder, now);
  return opened;
}

}  // namespace kestrum
