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

}  // namespace

void FillPulseDistributionSeries(KestrumChart& chart, PulseDistributionSeries series) {
  chart.Series4().SetPoints(std::move(series.pulses));
  chart.Series1().SetPoints(std::move(series.temperature));
  chart.Series5().SetPoints(std::move(series.humidity));
  chart.Series6().SetPoints(std::move(series.pressure));
}

void FillIntervalMeanSeries(KestrumChart& chart, IntervalMeanSeries series) {
  chart.Series2().Graph()->setName(MeanSeriesName(series.samples));
  chart.Series2().SetPoints(std::move(series.mean));
  chart.Series3().setName(MeanSeriesName(series.samples) + QStringLiteral(" error"));
  chart.Series3().SetPoints(std::move(series.meanWithError));
  chart.Series1().SetPoints(std::move(series.temperature));
  chart.Series5().SetPoints(std::move(series.humidity));
}

void WriteFooterLine(KestrumChart& chart, const MeasurementStore& store,
                     const DateTimeFormats& formats) {
  chart.Rescale();
  chart.ClearFooter();
  const TimeRange range = chart.BottomAxisRange();
  const QString line =
      FooterLineInUnit(store, range.min, range.max, formats, chart.Additions().unit);
  if (!line.isEmpty()) chart.SetFooterLines({line});
}

}  // namespace kestrum
