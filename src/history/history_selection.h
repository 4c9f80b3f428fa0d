// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs of the history brought together for the chart views and summaries:
// their samples packed into a MeasurementStore (as one run spanning them
// all, so the footer and the run summary work over the whole selection),
// with the sample range of each history run kept apart so that lines and
// means never bridge the gap between two runs.

#include <memory>
#include <vector>

#include "history/history_store.h"
#include "records/measurement_store.h"

namespace kestrum {

struct SelectionSegment {
  std::int64_t run = 0;
  std::int32_t first = 0;  // sample indices in the packed store, inclusive
  std::int32_t last = -1;
};

struct HistorySelection {
  std::unique_ptr<MeasurementStore> store;  // Runs[0] spans every sample; RunCount 1
  std::vector<SelectionSegment> segments;   // in time order
  bool truncated = false;                   // more samples than a store holds: the latest kept
  int samples() const { return store ? store->LastSampleIndex + 1 : 0; }
};

// Of the given runs, those a summary over from..to counts: not excluded,
// sharing time with the range, and of versions that conflict (same start)
// only the one with the most samples.
std::vector<HistoryRun> RunsForSummary(const std::vector<HistoryRun>& runs, DateTime from,
                                       DateTime to);

// Loads the runs' samples stamped within from..to (both included) and packs
// them in time order. calibrationFactor: the instrument's.
HistorySelection SelectSamples(HistoryStore& store, const std::vector<HistoryRun>& runs,
                               DateTime from, DateTime to, double calibrationFactor);

// The same from samples already loaded (the window keeps an instrument's).
struct LoadedRun {
  HistoryRun run;
  std::vector<HistorySample> samples;
};
// `reuse`: the store of an earlier selection, so that a new pick does not
// allocate and clear another 20 MB.
HistorySelection PackSamples(const std::vector<const LoadedRun*>& runs, DateTime from, DateTime to,
                             double calibrationFactor,
                             std::unique_ptr<MeasurementStore> reuse = nullptr);

}  // namespace kestrum
