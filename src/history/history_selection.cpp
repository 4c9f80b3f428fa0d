// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_selection.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "records/date_time.h"

namespace kestrum {
namespace {

bool SharesTime(const HistoryRun& run, DateTime from, DateTime to) {
  return run.samples > 0 && run.last >= from && run.first - kOneHour <= to;
}

}  // namespace

std::vector<HistoryRun> RunsForSummary(const std::vector<HistoryRun>& runs, DateTime from,
                                       DateTime to) {
  // Of the versions of one run that disagree, the longest speaks for it.
  std::map<std::tuple<std::string, std::int64_t>, const HistoryRun*> longest;
  for (const HistoryRun& run : runs) {
    if (!run.conflict || run.excluded) continue;
    const auto key = std::make_tuple(run.instrument, RunStartMinute(run.start));
    const HistoryRun*& best = longest[key];
    if (!best || run.samples > best->samples ||
        (run.samples == best->samples && run.id > best->id)) {
      best = &run;
    }
  }
  std::vector<HistoryRun> kept;
  for (const HistoryRun& run : runs) {
    if (run.excluded || !SharesTime(run, from, to)) continue;
    if (run.conflict &&
        longest[std::make_tuple(run.instrument, RunStartMinute(run.start))] != &run) {
      continue;
    }
    kept.push_back(run);
  }
  return kept;
}

HistorySelection PackSamples(const std::vector<const LoadedRun*>& runs, DateTime from, DateTime to,
                             double calibrationFactor) {
  HistorySelection selection;
  selection.calibrationFactor = calibrationFactor;
  std::vector<const LoadedRun*> ordered(runs.begin(), runs.end());
  std::stable_sort(ordered.begin(), ordered.end(), [](const LoadedRun* a, const LoadedRun* b) {
    return std::tie(a->run.first, a->run.id) < std::tie(b->run.first, b->run.id);
  });

  // What lies in the range, per run; the latest samples win when there are
  // more than the chart takes (as many as a data file's store holds).
  struct Part {
    const LoadedRun* run;
    std::size_t begin;
    std::size_t end;
  };
  std::vector<Part> parts;
  std::size_t total = 0;
  for (const LoadedRun* run : ordered) {
    const auto& s = run->samples;
    auto begin = std::find_if(s.begin(), s.end(), [from](const HistorySample& x) {
      return x.time != 0 && x.time >= from;
    });
    auto end = std::find_if(begin, s.end(), [to](const HistorySample& x) { return x.time > to; });
    if (begin == end) continue;
    parts.push_back({run, static_cast<std::size_t>(begin - s.begin()),
                     static_cast<std::size_t>(end - s.begin())});
    total += parts.back().end - parts.back().begin;
  }
  const std::size_t capacity = kSampleCapacity - 1;
  std::size_t skip = total > capacity ? total - capacity : 0;
  selection.truncated = skip > 0;
  selection.hours.reserve(total - skip);

  std::int32_t next = 0;
  for (const Part& part : parts) {
    std::size_t begin = part.begin;
    const std::size_t available = part.end - part.begin;
    if (skip >= available) {
      skip -= available;
      continue;
    }
    begin += skip;
    skip = 0;
    SelectionSegment segment{part.run->run.id, next, next - 1};
    for (std::size_t i = begin; i < part.end; ++i) {
      const HistorySample& h = part.run->samples[i];
      if (h.time == 0) continue;
      selection.hours.push_back(h);
      ++next;
    }
    segment.last = next - 1;
    if (segment.last >= segment.first) selection.segments.push_back(segment);
  }
  return selection;
}

}  // namespace kestrum
