// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of "kestrum-tool history": key=value lines for runs and the
// activity log, and the CSV of the export.

#include <optional>
#include <string>

#include "history/history_types.h"

namespace kestrum::tool {

// A text value of a key=value line: as it is, or in double quotes (with \",
// \\, \n, \r and \t escaped, other control characters as \x1B) when it holds
// a blank, a quote, a backslash or a control character, or when `alwaysQuoted`.
std::string LineText(const std::string& text, bool alwaysQuoted = false);

// "run=ID instrument=... clock_unset=0|1 redated=0|1".
std::string RunLine(const HistoryRun& run);

// "the history knows no instrument \"NAME\" (see ...)".
std::string NoInstrumentText(const std::string& name);

// "at=... kind=... instrument=... text=\"...\"".
std::string ActivityLine(const ActivityEntry& entry);

inline constexpr char kExportHeader[] =
    "time,run,site,bqm3,error_bqm3,pulses,temperature_c,humidity_percent,pressure_kpa";

// One export row without its line end, written with the sample CSV's
// helpers (records/csv_export.h); the channels the model lacks stay empty.
std::string ExportRow(const HistoryRun& run, const HistorySample& sample);

}  // namespace kestrum::tool
