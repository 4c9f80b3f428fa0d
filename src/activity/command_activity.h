// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the activity log says of each instrument command's outcome, and the
// import of a complete download into the history right after it was kept.
// Above both the commands and the history; shared by the window and
// kestrum-tool, so both keep the same record.

#include <memory>
#include <string>

#include "commands/clock_sync.h"
#include "commands/instrument_erase.h"
#include "commands/measurement_download.h"
#include "commands/trigger_level.h"
#include "history/activity_log.h"
#include "history/history_store.h"
#include "link/instrument_detection.h"

namespace kestrum {

// The selected instrument as the history names it: "K7-<serial>" when the
// model is known (a K8 by its converter, a K5-K7 by its identify answer),
// else the serial alone.
std::string CommandInstrumentName(std::uint8_t modelCode);
// The same, where the answer never came (unplugged during identify): the
// name the history knows for that serial, so every entry of one instrument
// reads "<model>-<serial>"; the serial alone when the history knows none.
std::string CommandInstrumentName(std::uint8_t modelCode, HistoryStore* history);
// An attached instrument as detection knows it, named as above: "K8-<serial>"
// by its converter, else the name the history knows for the serial, else the
// serial alone.
std::string AttachedInstrumentName(const TK5& instrument, HistoryStore* history);

// "Downloaded 27 runs, 16281 samples (kept as K8-...Rn)", "Download cancelled",
// "Download failed: <error>".
std::string DownloadActivityText(const DownloadOutcome& outcome, const MeasurementStore& store);
// "Clock set to 2026-12-08 14:05:12", "Clock not set: ..."
std::string ClockActivityText(const ClockOutcome& outcome);
// "Erased (the last download was kept)", "Erase cancelled", ...
std::string EraseActivityText(const EraseOutcome& outcome, bool downloadKept);
// "Trigger level set to 33 pulses (200 Bq/m3)", ...
std::string LevelActivityText(const TriggerOutcome& outcome, int position);

// After a download: imports the kept file (when one was kept) from `store`'s
// decode, then records the download. history may be null (no history
// available): nothing happens. Its failure's text is for the status bar.
Result<> NoteDownload(HistoryStore* history, const DownloadOutcome& outcome,
                      const MeasurementStore& store, DateTime now);

}  // namespace kestrum
