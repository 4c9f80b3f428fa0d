// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instrument register's words, the same in the tool and the window.

#include <optional>
#include <string>

#include "history/history_types.h"
#include "records/date_time_stamp.h"

namespace kestrum {

// "calibration factor changed from 6.25 to 5.37 between the downloads of
// 2025-03-01 and 2025-04-02".
std::string FactorChangeText(const FactorChange& change);

}  // namespace kestrum
