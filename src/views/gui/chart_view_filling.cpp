// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/gui/chart_view_filling.h"

#include "views/footer_in_units.h"
#include "views/gui/kestrum_chart.h"

namespace kestrum {
namespace {

// "4h mean", "2d mean", "Running mean": the legend's name of the mean line.
QString MeanSeriesName(int samples) {
  if (samples <= 0) return QStringLiteral("Running mean");
  if (samples % 24 == 0 && samples > 24) return QStringLiteral("%1d mean").arg(samples / 24);
  return QStringLiteral("%1h mean").arg(samples);
}

// The footer for the visible range, `line(min, max)` giving its text.
template <typename Line>
void WriteFooter(KestrumChart& chart, const Line& line) {
  chart.Rescale();
  chart.ClearFooter();
  const TimeRange range = chart.BottomAxisRange();
  const QString text = line(range.min, range.max);
  if (!text.isEmpty()) chart.SetFooterLines({text});
}

}  // namespace

void FillPulseDistributionSeries(KestrumChart& chart, PulseDistributionSeries series) {
  chart.PulseBars().SetPoints(std::move(series.pulses));
  chart.TemperatureLine().SetPoints(std::move(series.temperature));
  chart.HumidityLine().SetPoints(std::move(series.humidity));
  chart.PressureLine().SetPoints(std::move(series.pressure));
}

void FillIntervalMeanSeries(KestrumChart& chart, IntervalMeanSeries series) {
  chart.MeanLine().Graph()->setName(MeanSeriesName(series.samples));
  chart.MeanLine().SetPoints(std::move(series.mean));
  chart.MeanErrorBars().setName(MeanSeriesName(series.samples) + QStringLiteral(" error"));
  chart.MeanErrorBars().SetPoints(std::move(series.meanWithError));
  chart.TemperatureLine().SetPoints(std::move(series.temperature));
  chart.HumidityLine().SetPoints(std::move(series.humidity));
}

void WriteFooterLine(KestrumChart& chart, const MeasurementStore& store,
                     const DateTimeFormats& formats) {
  WriteFooter(chart, [&](DateTime min, DateTime max) {
    return FooterLineInUnit(store, min, max, formats, chart.Additions().unit);
  });
}

void WriteFooterLine(KestrumChart& chart, SampleView samples, Extended calibrationFactor,
                     const DateTimeFormats& formats) {
  WriteFooter(chart, [&](DateTime min, DateTime max) {
    return FooterLineInUnit(samples, calibrationFactor, min, max, formats, chart.Additions().unit);
  });
}

}  // namespace kestrum
