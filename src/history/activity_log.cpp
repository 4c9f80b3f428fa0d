// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/activity_log.h"

#include <cmath>
#include <cstdio>

namespace kestrum {

std::string RedateActivityText(std::int64_t run, DateTime firstSample) {
  // To the minute, as it was given.
  const DateTimeFields f = SplitDateTime(std::round(firstSample * 1440.0) / 1440.0);
  char text[96];
  std::snprintf(text, sizeof text, "Run %lld re-dated: first sample %04d-%02d-%02d %02d:%02d",
                static_cast<long long>(run), f.year, f.month, f.day, f.hour, f.minute);
  return text;
}

Result<> NoteActivity(HistoryStore* history, const ActivityEntry& entry) {
  if (!history) return {};
  const Result<> recorded = history->RecordActivity(entry);
  if (!recorded)
    return Fail(FailureKind::kStore, "Not recorded in the history: " + recorded.error());
  return {};
}

}  // namespace kestrum
