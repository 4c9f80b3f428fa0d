// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the radon level of a building varies over the year, as twelve monthly
// factors (a month's mean over the annual mean) normalised to a mean of 1:
// what turns a measurement of a few months into an annual estimate.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/monthly_means.h"
#include "records/result.h"

namespace kestrum {

struct SeasonalProfile {
  std::array<double, 12> factors{};  // January first; their mean is 1
  double uncertaintyPercent = 0;     // of an estimate made with it
  std::string name;                  // where it came from, for the user
};

// Lines "MM FACTOR" for each of the twelve months, "uncertainty=P" (per
// cent) once at most, "#" starting a comment. Refuses, naming the word, a
// month missing or given twice, a factor that is not a positive number and
// anything else.
Result<SeasonalProfile> ParseSeasonalProfile(std::string_view text, std::string name);

// A profile file, read through the guarded read (regular files only, a
// few kilobytes at most); failures name the file.
Result<SeasonalProfile> ReadSeasonalProfileFile(const std::string& path);

// From the latest twelve consecutive months covered well enough for an
// annual mean; a failure when there are none.
Result<SeasonalProfile> ProfileFromMonths(const std::vector<MonthlyMean>& months, std::string name);

}  // namespace kestrum
