// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs of the history brought together for the chart views and summaries:
// their stamped samples in one time-ordered sequence of the selection's own,
// with the stretch of each history run kept apart so that lines and means
// never bridge the gap between two runs.

#include <memory>
#include <vector>

#include "history/history_store.h"
#include "records/hourly_sample.h"
#include "records/measurement_store.h"

namespace kestrum {

struct SelectionSegment {
  std::int64_t run = 0;
  std::int32_t first = 0;  // indices into the selection's hours, inclusive
  std::int32_t last = -1;
};

struct HistorySelection {
  std::vector<HourlySample> hours;         // in time order, stamped ones only
  std::vector<SelectionSegment> segments;  // in time order
  bool truncated = false;                  // more samples than the chart takes: the latest kept
  double calibrationFactor = 6.0;
  int samples() const { return static_cast<int>(hours.size()); }
  HourSpan All() const { return hours; }
  HourSpan Of(const SelectionSegment& segment) const {
    return {hours.data() + segment.first, hours.data() + segment.last + 1};
  }
};

// Of the given runs, those a summary over from..to counts: not excluded,
// sharing time with the range, and of versions that conflict (same start)
// only the one with the most samples.
std::vector<HistoryRun> RunsForSummary(const std::vector<HistoryRun>& runs, DateTime from,
                                       DateTime to);

// An instrument's run with its samples, as the window keeps them.
struct LoadedRun {
  HistoryRun run;
  std::vector<HistorySample> samples;
};
// The runs' samples stamped within from..to (both included), in time order.
// calibrationFactor: the instrument's.
HistorySelection PackSamples(const std::vector<const LoadedRun*>& runs, DateTime from, DateTime to,
                             double calibrationFactor);

}  // namespace kestrum
