// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/seasonal_profile.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "records/guarded_read.h"

namespace kestrum {
namespace {

std::optional<double> NumberIn(std::string_view word) {
  double value = 0;
  const std::from_chars_result read = std::from_chars(word.begin(), word.end(), value);
  if (word.empty() || read.ec != std::errc() || read.ptr != word.end() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

Failure Refused(std::string_view word, const std::string& why) {
  return Fail("the profile word \"" + std::string(word) + "\" " + why);
}

SeasonalProfile Normalised(std::array<double, 12> factors, double percent, std::string name) {
  double sum = 0;
  for (double f : factors) sum += f;
  for (double& f : factors) f = f * 12 / sum;
  return SeasonalProfile{factors, percent, std::move(name)};
}

}  // namespace

Result<SeasonalProfile> ParseSeasonalProfile(std::string_view text, std::string name) {
  std::array<double, 12> factors{};
  std::array<bool, 12> given{};
  std::optional<double> percent;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) {
      line = line.substr(0, hash);
    }
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) continue;
    constexpr std::string_view kUncertainty = "uncertainty=";
    if (words[0].substr(0, kUncertainty.size()) == kUncertainty) {
      const std::optional<double> p = NumberIn(words[0].substr(kUncertainty.size()));
      if (words.size() != 1 || !p || *p < 0 || *p > 100 || percent) {
        return Refused(words[0], "is not one uncertainty from 0 to 100 per cent");
      }
      percent = p;
      continue;
    }
    if (words.size() != 2) return Refused(words[0], "does not start a line \"MM FACTOR\"");
    const std::optional<double> month = NumberIn(words[0]);
    if (!month || *month != std::floor(*month) || *month < 1 || *month > 12) {
      return Refused(words[0], "is not a month from 01 to 12");
    }
    const std::size_t m = static_cast<std::size_t>(*month) - 1;
    if (given[m]) return Refused(words[0], "names a month a second time");
    const std::optional<double> factor = NumberIn(words[1]);
    if (!factor || *factor <= 0) return Refused(words[1], "is not a factor above 0");
    factors[m] = *factor;
    given[m] = true;
  }
  for (std::size_t m = 0; m < 12; ++m) {
    if (!given[m]) {
      const std::string month = (m < 9 ? "0" : "") + std::to_string(m + 1);
      return Fail("the profile gives no factor for month " + month +
                  ": it needs all twelve months");
    }
  }
  return Normalised(factors, percent.value_or(0), std::move(name));
}

Result<SeasonalProfile> ReadSeasonalProfileFile(const std::string& path) {
  // A profile is a dozen lines; anything much larger is not one.
  constexpr std::size_t kProfileLimit = 64 * 1024;
  const Result<GuardedRead> read = ReadRegularFile(path, kProfileLimit);
  if (!read) return read.failure();
  if (read->missing) return Fail(path + ": there is no such file");
  if (read->truncated) return Fail(path + " is too large to be a seasonal profile");
  Result<SeasonalProfile> profile = ParseSeasonalProfile(read->bytes, path);
  if (!profile) return Fail(path + ": " + profile.error());
  return profile;
}

Result<SeasonalProfile> ProfileFromMonths(const std::vector<MonthlyMean>& months,
                                          std::string name) {
  const std::optional<AnnualMean> annual = AnnualMeanOf(months);
  if (!annual || annual->mean <= 0) {
    return Fail(name + " has no twelve consecutive well covered months to take a profile from");
  }
  std::array<double, 12> factors{};
  for (const MonthlyMean& m : months) {
    const int index = (m.year - annual->fromYear) * 12 + (m.month - annual->fromMonth);
    if (index < 0 || index >= 12) continue;
    factors[static_cast<std::size_t>(m.month - 1)] = m.mean / annual->mean;
  }
  for (double f : factors) {
    if (f <= 0) return Fail(name + " has a month without radon to take a profile from");
  }
  return Normalised(factors, 0, std::move(name));
}

}  // namespace kestrum
