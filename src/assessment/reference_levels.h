// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reference levels a long-term radon level is judged against, and the
// judgement itself.

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrum {

// WHO recommendation, US action level (4 pCi/L), EU upper reference level.
inline constexpr std::array<double, 3> kStandardReferenceLevels = {100.0, 148.0, 300.0};

// "WHO", "US action" and "EU" for the three standard levels, "Custom" for
// any other: a level is named by its value, wherever it was chosen.
std::string_view ReferenceLevelName(double level);

// Position of a standard level in kStandardReferenceLevels; -1 for others.
int StandardLevelIndex(double level);

// The levels in ascending order, each once: the order the legend, the
// summary and the report list them in.
std::vector<double> AscendingLevels(std::vector<double> levels);

// What a report judges the mean against: the chosen levels, or the three
// standard ones when none is chosen.
std::vector<double> LevelsForVerdicts(const std::vector<double>& chosen);

enum class LevelVerdict { Above, Below, Undecided };

// Above when the mean lies more than two uncertainties above the level,
// below when more than two below, otherwise the two cannot be told apart.
LevelVerdict JudgeAgainstLevel(double mean, double uncertainty, double level);

// "above", "below", "undecided": the words of kestrum-tool summary.
std::string_view VerdictWord(LevelVerdict verdict);

// "is above", "is below", "cannot be told apart from": after "The mean",
// before the level.
std::string_view VerdictPhrase(LevelVerdict verdict);

// No level anyone judges a room by lies above this (Bq/m3); a chart and a
// report drawn to 1e308 are no use.
inline constexpr double kHighestReferenceLevel = 100000;

// "100,148,300" into levels in Bq/m3; none for anything but positive
// numbers up to kHighestReferenceLevel separated by commas.
std::optional<std::vector<double>> ParseLevelList(std::string_view text);

}  // namespace kestrum
