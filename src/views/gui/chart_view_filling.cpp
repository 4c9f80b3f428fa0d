#include "views/gui/chart_view_filling.h"

#include "views/footer_line.h"
#include "views/gui/kestrum_chart.h"

namespace kestrum {

void FillPulseDistributionSeries(KestrumChart& chart, PulseDistributionSeries series) {
  chart.Series4().SetPoints(std::move(series.pulses));
  chart.Series1().SetPoints(std::move(series.temperature));
  chart.Series5().SetPoints(std::move(series.humidity));
  chart.Series6().SetPoints(std::move(series.pressure));
}

void FillIntervalMeanSeries(KestrumChart& chart, IntervalMeanSeries series) {
  chart.Series2().SetPoints(std::move(series.mean));
  chart.Series3().SetPoints(std::move(series.meanWithError));
  chart.Series1().SetPoints(std::move(series.temperature));
  chart.Series5().SetPoints(std::move(series.humidity));
}

void WriteFooterLine(KestrumChart& chart, const MeasurementStore& store,
                     const DateTimeFormats& formats) {
  chart.Refresh();
  chart.ClearFooter();
  const TimeRange range = chart.BottomAxisRange();
  const QString line = FooterLine(store, range.min, range.max, formats);
  if (!line.isEmpty()) chart.SetFooterLines({line});
}

}  // namespace kestrum
