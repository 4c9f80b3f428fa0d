// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/mean_fallback.h"

#include "views/interval_table.h"

namespace kestrum {

MeanFallbackResult ComputeMeansWithFallback(const MeasurementStore& store, int run, int itemIndex,
                                            const IntervalMeanOptions& options) {
  MeanFallbackResult result;
  result.itemIndex = itemIndex;
  if (IntervalSamples(itemIndex) < 0) return result;
  for (;;) {
    result.series = ComputeIntervalMeans(store, run, IntervalSamples(result.itemIndex), options);
    if (!result.series.tooShort) return result;
    ++result.fallbackMessages;
    if (result.itemIndex == 0) return result;
    --result.itemIndex;
  }
}

}  // namespace kestrum
