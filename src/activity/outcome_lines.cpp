// SPDX-License-Identifier: GPL-3.0-or-later
#include "activity/outcome_lines.h"

#include <cstddef>
#include <cstdio>

#include "activity/command_activity.h"
#include "records/bcd.h"

namespace kestrum {
namespace {

// "16,281": the outcome line is read at a glance.
std::string Grouped(std::int64_t count) {
  std::string digits = std::to_string(count);
  for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3)
    digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}

std::string Counted(std::int64_t count, const char* what) {
  return Grouped(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

std::string DownloadOutcomeLine(const DownloadOutcome& outcome, const MeasurementStore& store,
                                const std::string& at) {
  if (DownloadCancelled(outcome)) return std::string(kDownloadCancelledText) + " at " + at;
  const auto* decoded = std::get_if<DownloadDecoded>(&outcome.end);
  if (!decoded) {
    // The error box has the whole text; one line of it here.
    const std::string text = DownloadActivityText(outcome, store);
    return text.substr(0, text.find('\n'));
  }
  std::string line = "Downloaded " + Counted(store.RunCount, "run") + ", " +
                     Counted(store.LastSampleIndex + 1, "sample") + " at " + at;
  if (decoded->kept) line += *decoded->kept ? " (kept)" : " (not kept)";
  return line;
}

std::string ClockOutcomeLine(const ClockOutcome& outcome) {
  if (outcome.end != ClockEnd::kSent) return ClockActivityText(outcome);
  const ClockFields& f = outcome.fields;
  char text[40];
  std::snprintf(text, sizeof text, "Clock set to %02d:%02d:%02d", BcdToByte(f.hours & 0x3F),
                BcdToByte(f.minutes), BcdToByte(f.seconds));
  return text;
}

}  // namespace kestrum
