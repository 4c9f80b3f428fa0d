// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Date-times in file names and small records: "YYYYMMDD-HHMMSS", sortable
// and free of characters that file systems refuse.

#include <optional>
#include <string>

#include "records/measurement_store.h"

namespace kestrum {

std::string DateTimeStamp(DateTime value);
// Empty unless the text is exactly such a stamp of a valid date-time.
std::optional<DateTime> ParseDateTimeStamp(const std::string& text);

// "2024-03-05 14:07:09", for messages.
std::string DateTimeMessageText(DateTime value);

// "2025-03-01": a day, as the register and the reports give it.
std::string DayText(DateTime day);
// "2025-03-01" into that day; empty for anything else.
std::optional<DateTime> ParseDay(const std::string& text);

}  // namespace kestrum
