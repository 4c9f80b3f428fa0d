// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The last step of the view handlers: computed lines into the main chart's
// series, and the footer line below the plot.

#include "records/measurement_store.h"
#include "views/date_time_text.h"
#include "views/interval_means.h"
#include "views/pulse_distribution.h"
#include "views/sample_view.h"

namespace kestrum {

class KestrumChart;

// Replaces the pulse bars and the temperature, humidity and pressure lines.
void FillPulseDistributionSeries(KestrumChart& chart, PulseDistributionSeries series);

// Replaces the mean line, the mean-error bars and the temperature and humidity
// lines; the pulse bars and the pressure line keep what they show.
void FillIntervalMeanSeries(KestrumChart& chart, IntervalMeanSeries series);

// Repaints (so the axes follow the series), then writes the footer line for
// the bottom axis's visible range over all samples of the store.
void WriteFooterLine(KestrumChart& chart, const MeasurementStore& store,
                     const DateTimeFormats& formats);
// The same over any samples, with their instrument's factor.
void WriteFooterLine(KestrumChart& chart, SampleView samples, Extended calibrationFactor,
                     const DateTimeFormats& formats);

}  // namespace kestrum
