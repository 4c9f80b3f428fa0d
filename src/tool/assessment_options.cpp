// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/assessment_options.h"

#include <charconv>
#include <cmath>

namespace kestrum::tool {
namespace {

const std::string* Option(const ParsedArgs& parsed, const char* name) {
  const auto it = parsed.options.find(name);
  return it == parsed.options.end() ? nullptr : &it->second;
}

std::optional<double> Percentage(const std::string& text) {
  double value = 0;
  const std::from_chars_result read =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || read.ec != std::errc() || read.ptr != text.data() + text.size() ||
      !std::isfinite(value) || value < 0 || value > 100) {
    return std::nullopt;
  }
  return value;
}

Result<Done> ReadCalibration(const ParsedArgs& parsed, AssessmentRequest& request) {
  if (const std::string* text = Option(parsed, "calibration-uncertainty")) {
    const std::optional<double> p = Percentage(*text);
    if (!p) {
      return Fail("--calibration-uncertainty wants a percentage from 0 to 100, not \"" + *text +
                  "\"");
    }
    request.calibrationPercent = *p;
    request.calibrationAssumed = false;
  }
  return Done{};
}

}  // namespace

std::vector<std::string> AssessmentValueOptions() {
  return {"protocol", "calibration-uncertainty", "discard-hours", "hours",
          "profile",  "profile-from-site"};
}

std::vector<std::string> AssessmentFlagOptions() {
  return {"closed-building-late", "post-mitigation"};
}

Result<AssessmentRequest> ReadCalibrationWords(const ParsedArgs& parsed,
                                               const std::vector<double>& levels) {
  AssessmentRequest request;
  request.levels = levels;
  if (Result<Done> read = ReadCalibration(parsed, request); !read) return read.failure();
  return request;
}

Result<AssessmentWords> ReadAssessmentWords(const ParsedArgs& parsed,
                                            const std::vector<double>& levels) {
  AssessmentWords words;
  AssessmentRequest& request = words.request;
  request.levels = levels;
  if (const std::string* name = Option(parsed, "protocol")) {
    const std::optional<Protocol> protocol = ProtocolNamed(*name);
    if (!protocol) {
      return Fail("--protocol wants period, annual, us-short-term, long-term or workplace, not \"" +
                  *name + "\"");
    }
    request.protocol = *protocol;
  }
  if (Result<Done> read = ReadCalibration(parsed, request); !read) return read.failure();

  const bool late = parsed.flags.count("closed-building-late") != 0;
  const bool mitigated = parsed.flags.count("post-mitigation") != 0;
  const std::string* discard = Option(parsed, "discard-hours");
  if (late + mitigated + (discard != nullptr) > 1) {
    return Fail("--closed-building-late, --post-mitigation and --discard-hours go one at a time");
  }
  if (late) request.discardHours = kDiscardHoursClosedLate;
  if (mitigated) request.discardHours = kDiscardHoursPostMitigation;
  if (discard) {
    const std::optional<long long> n = ParseWholeNumber(*discard, 0, 24 * 365);
    if (!n)
      return Fail("--discard-hours wants a number of hours from 0 to 8760, not \"" + *discard +
                  "\"");
    request.discardHours = static_cast<int>(*n);
  }
  if ((late || mitigated || discard) && request.protocol != Protocol::kUsShortTerm) {
    return Fail("the hours discarded at the start belong to --protocol us-short-term");
  }

  if (const std::string* hours = Option(parsed, "hours")) {
    if (request.protocol != Protocol::kWorkplace) {
      return Fail("--hours belongs to --protocol workplace");
    }
    Result<OccupancySchedule> schedule = OccupancySchedule::Parse(*hours);
    if (!schedule) return Fail("--hours: " + schedule.error());
    request.schedule = std::move(schedule).value();
  }

  const std::string* file = Option(parsed, "profile");
  const std::string* site = Option(parsed, "profile-from-site");
  if ((file || site) && request.protocol != Protocol::kLongTerm) {
    return Fail("a seasonal profile belongs to --protocol long-term");
  }
  if (file && site) return Fail("--profile and --profile-from-site go one at a time");
  if (request.protocol == Protocol::kLongTerm && !file && !site) {
    return Fail(
        "--protocol long-term wants a seasonal profile: --profile FILE or "
        "--profile-from-site SITE");
  }
  if (file) {
    Result<SeasonalProfile> profile = ReadSeasonalProfileFile(*file);
    if (!profile) return Fail("--profile: " + profile.error());
    request.profile = std::move(profile).value();
  }
  if (site) words.profileSite = *site;
  return words;
}

}  // namespace kestrum::tool
