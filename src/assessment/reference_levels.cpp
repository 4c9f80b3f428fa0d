// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/reference_levels.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kestrum {

int StandardLevelIndex(double level) {
  for (std::size_t i = 0; i < kStandardReferenceLevels.size(); ++i) {
    if (level == kStandardReferenceLevels[i]) return static_cast<int>(i);
  }
  return -1;
}

std::string_view ReferenceLevelName(double level) {
  switch (StandardLevelIndex(level)) {
    case 0:
      return "WHO";
    case 1:
      return "US action";
    case 2:
      return "EU";
    default:
      break;
  }
  return "Custom";
}

std::vector<double> AscendingLevels(std::vector<double> levels) {
  std::sort(levels.begin(), levels.end());
  levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
  return levels;
}

std::vector<double> LevelsForVerdicts(const std::vector<double>& chosen) {
  if (!chosen.empty()) return AscendingLevels(chosen);
  return {kStandardReferenceLevels.begin(), kStandardReferenceLevels.end()};
}

LevelVerdict JudgeAgainstLevel(double mean, double uncertainty, double level) {
  if (mean - 2 * uncertainty > level) return LevelVerdict::Above;
  if (mean + 2 * uncertainty < level) return LevelVerdict::Below;
  return LevelVerdict::Undecided;
}

std::string_view VerdictWord(LevelVerdict verdict) {
  switch (verdict) {
    case LevelVerdict::Above:
      return "above";
    case LevelVerdict::Below:
      return "below";
    case LevelVerdict::Undecided:
      break;
  }
  return "undecided";
}

std::string_view VerdictPhrase(LevelVerdict verdict) {
  switch (verdict) {
    case LevelVerdict::Above:
      return "is above";
    case LevelVerdict::Below:
      return "is below";
    case LevelVerdict::Undecided:
      break;
  }
  return "cannot be told apart from";
}

std::optional<std::vector<double>> ParseLevelList(std::string_view text) {
  std::vector<double> levels;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view word = text.substr(start, comma - start);
    double level = 0;
    // Always a decimal point, whatever the locale says.
    const std::from_chars_result read = std::from_chars(word.begin(), word.end(), level);
    if (word.empty() || read.ec != std::errc() || read.ptr != word.end() || !std::isfinite(level) ||
        level <= 0 || level > kHighestReferenceLevel) {
      return std::nullopt;
    }
    levels.push_back(level);
    start = comma + 1;
  }
  return levels;
}

}  // namespace kestrum
