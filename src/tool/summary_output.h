// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The key=value lines of a run summary, shared by "summary" and
// "history summary", and the number and time texts of those lines.

#include <ostream>
#include <string>

#include "records/measurement_store.h"
#include "views/run_summary.h"

namespace kestrum::tool {

// Three decimals, a dot, whatever the locale.
std::string SummaryNumber(double value);

// YYYY-MM-DDTHH:MM.
std::string SummaryMinute(DateTime value);

// samples, first, last, mean_bqm3 ... min_at, then the level lines (with the
// period assessment's verdict and the days it still needs) and the day lines.
void PrintRunSummary(std::ostream& out, const RunSummary& summary);

}  // namespace kestrum::tool
