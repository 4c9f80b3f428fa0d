// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history window's chart: the main window's views drawn over a packed
// selection. Each history run is computed on its own and the lines get a
// break (a point with y = NaN, where QCPGraph stops a line) between two
// runs, so a gap in the measurements stays a gap and no mean spans two runs.

#include "history/history_selection.h"
#include "views/interval_means.h"
#include "views/pulse_distribution.h"

namespace kestrum {
class KestrumChart;
}

struct HistoryViewChoices {
  bool pulseBars = true;  // the hourly values with their errors
  int meanItem = -1;      // an item of interval_table.h; -1: no mean
  bool meanError = false;
  kestrum::EnvironmentLines lines;  // only what the model measures
};

struct HistoryChartSeries {
  kestrum::PulseDistributionSeries hourly;
  kestrum::IntervalMeanSeries means;
  // Runs shorter than the mean's interval: they show no mean.
  int tooShortForMean = 0;
};

// The series of every segment, joined in time order.
HistoryChartSeries ComputeHistorySeries(const kestrum::HistorySelection& selection,
                                        const HistoryViewChoices& choices);

// Fills the chart's series from the selection and writes the footer over
// it; gives the number of runs too short for the mean.
int DrawHistorySelection(kestrum::KestrumChart& chart, const kestrum::HistorySelection& selection,
                         const HistoryViewChoices& choices);

// Empties every series and the footer.
void ClearHistoryChart(kestrum::KestrumChart& chart);
