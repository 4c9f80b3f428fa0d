// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The key=value lines of an assessment ("kestrum-tool assess") and the
// verdict words the summaries share with it.

#include <optional>
#include <ostream>
#include <string>

#include "assessment/assessment.h"

namespace kestrum::tool {

// Three decimals, or "none".
std::string OptionalNumber(const std::optional<double>& value);

// "more_days=N" or "more_days=none reason=..." of one level.
std::string MoreDaysWords(const LevelOutcome& outcome);

// Every line of the assessment of one site ("" for runs without a site).
void PrintAssessment(std::ostream& out, const Assessment& a, const std::string& site);

}  // namespace kestrum::tool
