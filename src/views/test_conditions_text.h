// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a test's reader is told beside the result: whether the instrument's
// calibration held, how many hours saw conditions change, and how an
// instrument beside it read.

#include <QString>
#include <optional>
#include <string>

#include "assessment/collocation.h"
#include "records/date_time.h"
#include "views/radon_units.h"

namespace kestrum {

// "Calibrated 2026-01-15 (certificate PTB 123/26); it holds until 2027-01-15.",
// or why the calibration does not cover a test ending at `testEnd`.
QString CalibrationNote(std::optional<DateTime> calibratedOn, int intervalMonths,
                        const std::string& certificate, DateTime testEnd);

// "3 hours with a change in temperature, humidity or pressure beyond the
// thresholds: changes that may come from an opened window or door, or a
// moved or disturbed instrument."; empty for none.
QString ConditionNote(std::size_t markedHours);

// "Beside K7-B2 over 48 shared hours: its mean 142 Bq/m3, this one's 150
// Bq/m3, average 146 Bq/m3, relative percent difference 5.5 %."
QString CollocationNote(const QString& other, const Collocation& c, RadonUnit unit);

}  // namespace kestrum
