#pragma once
// The last step of the view handlers: computed lines into `Chart1`'s
// series, and the footer line of `Meanonchart1Click`.

#include "records/measurement_store.h"
#include "views/date_time_text.h"
#include "views/interval_means.h"
#include "views/pulse_distribution.h"

namespace kestrum {

class KestrumChart;

// Replaces `Series4`, `Series1`, `Series5` and `Series6`.
void FillPulseDistributionSeries(KestrumChart& chart, PulseDistributionSeries series);

// Replaces `Series2`, `Series3`, `Series1` and `Series5`; `Series4` and
// `Series6` keep what they show.
void FillIntervalMeanSeries(KestrumChart& chart, IntervalMeanSeries series);

// Repaints (so the axes follow the series), then writes the footer line for
// the bottom axis's visible range over all samples of the store.
void WriteFooterLine(KestrumChart& chart, const MeasurementStore& store,
                     const DateTimeFormats& formats);

}  // namespace kestrum
