// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_chart_view.h"

#include <limits>

#include "views/date_time_text.h"
#include "views/gui/chart_view_filling.h"
#include "views/gui/kestrum_chart.h"
#include "views/interval_table.h"

namespace {

constexpr double kBreak = std::numeric_limits<double>::quiet_NaN();

// Between the last point before the gap and the first after it, so the
// points stay in ascending time and the chart need not sort them.
kestrum::DateTime BreakTime(kestrum::DateTime before, kestrum::DateTime after) {
  return after > before ? before + (after - before) / 2 : before;
}

template <typename Point>
void Append(std::vector<Point>& into, std::vector<Point>&& part) {
  into.insert(into.end(), std::make_move_iterator(part.begin()),
              std::make_move_iterator(part.end()));
}

// Joins a line of the next segment to the line so far, with a break between.
void JoinLine(std::vector<kestrum::ChartPoint>& line, std::vector<kestrum::ChartPoint>&& part) {
  if (part.empty()) return;
  if (!line.empty()) line.push_back({BreakTime(line.back().x, part.front().x), kBreak});
  Append(line, std::move(part));
}

}  // namespace

HistoryChartSeries ComputeHistorySeries(const kestrum::HistorySelection& selection,
                                        const HistoryViewChoices& choices) {
  HistoryChartSeries out;
  const int n = kestrum::IntervalSamples(choices.meanItem);
  out.means.samples = n < 0 ? 0 : n;
  for (const kestrum::SelectionSegment& segment : selection.segments) {
    const kestrum::HourSpan hours = selection.Of(segment);
    kestrum::PulseDistributionSeries hourly =
        kestrum::ComputePulseDistribution(hours, choices.lines);
    // Bars stand on their own: no break needed between them.
    if (choices.pulseBars) Append(out.hourly.pulses, std::move(hourly.pulses));
    JoinLine(out.hourly.temperature, std::move(hourly.temperature));
    JoinLine(out.hourly.humidity, std::move(hourly.humidity));
    JoinLine(out.hourly.pressure, std::move(hourly.pressure));
    if (n < 0) continue;
    kestrum::IntervalMeanSeries means =
        kestrum::ComputeIntervalMeans(hours, n, {choices.meanError, false, false});
    if (means.tooShort) {
      ++out.tooShortForMean;
      continue;
    }
    JoinLine(out.means.mean, std::move(means.mean));
    Append(out.means.meanWithError, std::move(means.meanWithError));
  }
  return out;
}

int DrawHistorySelection(kestrum::KestrumChart& chart, const kestrum::HistorySelection& selection,
                         const HistoryViewChoices& choices) {
  HistoryChartSeries series = ComputeHistorySeries(selection, choices);
  chart.UndoZoom();
  chart.SetLeftAxisTitle("Bq/m3");
  chart.SetBottomAxisTitle("Time");
  // The environmental lines come with the hourly values, whatever the mean.
  kestrum::FillIntervalMeanSeries(chart, std::move(series.means));
  kestrum::FillPulseDistributionSeries(chart, std::move(series.hourly));
  kestrum::WriteFooterLine(chart, selection.All(), selection.calibrationFactor,
                           kestrum::SystemDateTimeFormats());
  return series.tooShortForMean;
}

void ClearHistoryChart(kestrum::KestrumChart& chart) {
  chart.MeanLine().Clear();
  chart.MeanErrorBars().Clear();
  chart.PulseBars().Clear();
  chart.TemperatureLine().Clear();
  chart.HumidityLine().Clear();
  chart.PressureLine().Clear();
  chart.ClearFooter();
  chart.Refresh();
}
