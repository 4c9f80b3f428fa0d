// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lasting line of the main window's outcome panel: what the last
// download or clock setting came to, read at a glance.

#include <string>

#include "commands/clock_sync.h"
#include "commands/measurement_download.h"
#include "records/measurement_store.h"

namespace kestrum {

// "Downloaded 2 runs, 16,281 samples at 14:07 (kept)"; for a failed one the
// first line of its activity text. `at`: "HH:MM".
std::string DownloadOutcomeLine(const DownloadOutcome& outcome, const MeasurementStore& store,
                                const std::string& at);

// "Clock set to 14:07:09", or the activity text of a clock not set.
std::string ClockOutcomeLine(const ClockOutcome& outcome);

}  // namespace kestrum
