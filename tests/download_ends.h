// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a download ended, in words a failing expectation prints.

#include <string>
#include <variant>

#include "commands/measurement_download.h"

namespace kestrum {

// "decoded", "refused", "not opened", "unknown model", "cancelled",
// "implausible" or "incomplete" (a reply came short, bytes were lost, a
// command did not go out whole).
inline std::string EndOf(const DownloadOutcome& outcome) {
  if (std::holds_alternative<DownloadDecoded>(outcome.end)) return "decoded";
  if (std::holds_alternative<DownloadRefused>(outcome.end)) return "refused";
  if (std::holds_alternative<DownloadNotOpened>(outcome.end)) return "not opened";
  if (std::holds_alternative<DownloadUnknownModel>(outcome.end)) return "unknown model";
  const FailureKind kind = std::get<DownloadStopped>(outcome.end).failure.kind;
  if (kind == FailureKind::kCancelled) return "cancelled";
  if (kind == FailureKind::kImplausible) return "implausible";
  return "incomplete";
}

// The stopped end, or an empty one for any other end.
inline DownloadStopped StoppedOf(const DownloadOutcome& outcome) {
  const auto* stopped = std::get_if<DownloadStopped>(&outcome.end);
  return stopped ? *stopped : DownloadStopped{};
}

inline const DownloadDecoded* DecodedOf(const DownloadOutcome& outcome) {
  return std::get_if<DownloadDecoded>(&outcome.end);
}

}  // namespace kestrum
