// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a test's reader is told beside the result: whether the instrument's
// calibration held, and how many hours saw conditions change.

#include <QString>
#include <optional>
#include <string>

#include "records/date_time.h"

namespace kestrum {

// "Calibrated 2026-01-15 (certificate PTB 123/26); it holds until 2027-01-15.",
// or why the calibration does not cover a test ending at `testEnd`.
QString CalibrationNote(std::optional<DateTime> calibratedOn, int intervalMonths,
                        const std::string& certificate, DateTime testEnd);

// "3 hours with a change in temperature, humidity or pressure beyond the
// thresholds: changes that may come from an opened window or door, or a
// moved or disturbed instrument."; empty for none.
QString ConditionNote(std::size_t markedHours);

}  // namespace kestrum
