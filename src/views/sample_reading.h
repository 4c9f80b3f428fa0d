// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the cursor readout says about the sample of a run nearest in time to
// a point of the chart.

#include <QString>

#include "records/measurement_store.h"
#include "views/model_channels.h"
#include "views/radon_units.h"

namespace kestrum {

// Index of the sample of run `run` whose time stamp lies nearest `time`
// (samples stamped 0 are passed over); -1 when the run has none.
std::int32_t NearestSample(const MeasurementStore& store, int run, DateTime time);

// "2024-03-05 15:30", the year always written.
QString FullDateTimeText(DateTime value);

// Three lines: the date-time, the concentration with its error in the
// unit, and temperature, humidity and pressure as far as `channels` has them.
QString SampleReadingText(const SampleRecord& sample, const ModelChannels& channels,
                          RadonUnit unit);

}  // namespace kestrum
