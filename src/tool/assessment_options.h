// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words that choose a protocol and its conditions, shared by "assess",
// "summary" and "history summary": --protocol, --calibration-uncertainty,
// --discard-hours, --closed-building-late, --post-mitigation, --hours,
// --profile, --profile-from-site.

#include <optional>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "records/result.h"
#include "tool/tool_options.h"

namespace kestrum::tool {

std::vector<std::string> AssessmentValueOptions();
std::vector<std::string> AssessmentFlagOptions();

struct AssessmentWords {
  AssessmentRequest request;
  // --profile-from-site: the profile still to be taken from the history.
  std::optional<std::string> profileSite;
};

// The request for `levels`; a failure names the wrong word. A profile file
// is read here, through the guarded read.
Result<AssessmentWords> ReadAssessmentWords(const ParsedArgs& parsed,
                                            const std::vector<double>& levels);

// --calibration-uncertainty alone, for the summaries.
Result<AssessmentRequest> ReadCalibrationWords(const ParsedArgs& parsed,
                                               const std::vector<double>& levels);

}  // namespace kestrum::tool
