// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The step down to shorter intervals when a run is too short for the chosen
// one: "Mean" -> "7d" -> ... -> "2h", each step a
// "Mean intervall > number of measurements" message. Shared by the chart
// handler and the command-line tool.

#include "views/interval_means.h"

namespace kestrum {

inline constexpr const char* kMeanTooLongMessage = "Mean intervall > number of measurements";

struct MeanFallbackResult {
  int itemIndex = 0;          // the mean-interval item actually used
  int fallbackMessages = 0;   // how often the message was written
  IntervalMeanSeries series;  // series.tooShort when even "2h" did not fit
};

// Starts at `itemIndex` (0 .. 7) and walks down until the run is long enough
// or item 0 ("2h") is too long as well. An index outside the items is taken
// as "no item chosen": nothing is computed, itemIndex stays as given.
MeanFallbackResult ComputeMeansWithFallback(const MeasurementStore& store, int run, int itemIndex,
                                            const IntervalMeanOptions& options);

}  // namespace kestrum
