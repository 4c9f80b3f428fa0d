// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instrument register's words, the same in the tool and the window.

#include <optional>
#include <string>

#include "history/history_types.h"

namespace kestrum {

// "2025-03-01".
std::string DayText(DateTime day);
// "2025-03-01" into that day; empty for anything else.
std::optional<DateTime> ParseDay(const std::string& text);

// "calibration factor changed from 6.25 to 5.37 between the downloads of
// 2025-03-01 and 2025-04-02".
std::string FactorChangeText(const FactorChange& change);

}  // namespace kestrum
