// SPDX-License-Identifier: GPL-3.0-or-later
// Chart timing on a run as long as the largest K8 memory holds (some 20,000
// hourly samples): from a selection to the drawn chart, a full replot, and
// a replot after zooming. Targets: replot < 16 ms, selection < 100 ms.
// Then the same at the sample store's limit (100,000 samples, as "All
// measurements" can show) with reference lines, legend and cursor readout
// on. Targets: selection <= 50 ms, replot <= 8 ms.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <QImage>
#include <cmath>
#include <memory>
#include "bench_application.h"

#include "records/date_time.h"
#include "records/measurement_store.h"
#include "records/open_data_file.h"
#include "views/date_time_text.h"
#include "views/gui/chart_view_filling.h"
#include "views/gui/kestrum_chart.h"
#include "views/interval_table.h"
#include "views/mean_fallback.h"
#include "views/pulse_distribution.h"

namespace kestrum {
namespace {

constexpr int kSamples = 20000;
constexpr int k24hItem = 4;
const QSize kChartSize(1017, 470);

std::unique_ptr<MeasurementStore> StoreOfOneRun(int samples) {
  auto s = std::make_unique<MeasurementStore>();
  s->CalibrationFactor = 6.25L;
  const DateTime start = 45000.0;
  for (int k = 0; k < samples; ++k) {
    SampleRecord& r = s->Samples[static_cast<std::size_t>(k)];
    const Extended pulses = std::round(20 + 12 * std::sin(k / 40.0) + (k * 7919 % 13));
    r.Pulses = pulses;
    r.Concentration = pulses * s->CalibrationFactor;
    r.Error = pulses > 0 ? std::trunc(r.Concentration / std::sqrt(pulses)) : 0;
    r.Time = start + (k + 1) / 24.0;
    r.TemperatureValue = 18 + 3 * std::sin(k / 24.0);
    r.HumidityValue = 50 + 10 * std::cos(k / 100.0);
    r.PressureValue = 98 + std::sin(k / 300.0);
  }
  s->LastSampleIndex = samples - 1;
  s->RunCount = 1;
  s->Runs[0] = {0, samples - 1, start};
  s->Runs[1] = s->Runs[0];
  return s;
}

const MeasurementStore& LongRunStore() {
  static const auto store = StoreOfOneRun(kSamples);
  return *store;
}

constexpr int kStoreLimitSamples = 100000;

const MeasurementStore& FullStore() {
  static const auto store = StoreOfOneRun(kStoreLimitSamples);
  return *store;
}

// What a pick of the run followed by "Pulse Distribution, Mean and mean
// Error" does: compute, fill, undo the zoom, write the footer, draw.
void ShowRun(KestrumChart& chart, const MeasurementStore& store, const DateTimeFormats& formats) {
  FillPulseDistributionSeries(chart, ComputePulseDistribution(store, 0, {true, true, true}));
  const MeanFallbackResult means = ComputeMeansWithFallback(store, 0, k24hItem, {true, true, true});
  chart.SetTitleLines({QString::fromLatin1(IntervalTitleLine(means.itemIndex).data())});
  FillIntervalMeanSeries(chart, means.series);
  chart.UndoZoom();
  WriteFooterLine(chart, store, formats);
}

std::unique_ptr<KestrumChart> ShownChart() {
  EnsureBenchApplication();
  auto chart = std::make_unique<KestrumChart>();
  chart->resize(kChartSize);
  chart->show();
  QApplication::processEvents();
  return chart;
}

std::unique_ptr<KestrumChart> ChartWithAdditions() {
  auto chart = ShownChart();
  chart->SetAdditions({{100, 148, 300}, RadonUnit::BqPerM3, true});
  // A readout text as long as the real one, so its label is laid out alike.
  chart->SetReadoutSource([](DateTime t) {
    return QString("2024-03-04 17:45  123 ± 21 Bq/m3  T 21.5 °C  RH 45 %  P 98.1 kPa %1").arg(t);
  });
  return chart;
}

void BM_SelectionToDrawnChart(benchmark::State& state) {
  auto chart = ShownChart();
  const MeasurementStore& store = LongRunStore();
  const DateTimeFormats formats = SystemDateTimeFormats();
  for (auto _ : state) {
    ShowRun(*chart, store, formats);
    QApplication::processEvents();
  }
  state.counters["bars"] = chart->PulseBars().Count();
}
BENCHMARK(BM_SelectionToDrawnChart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FullReplot(benchmark::State& state) {
  auto chart = ShownChart();
  ShowRun(*chart, LongRunStore(), SystemDateTimeFormats());
  for (auto _ : state) chart->replot(QCustomPlot::rpImmediateRefresh);
  state.counters["spans"] = chart->PulseBars().LastDrawnSpans();
}
BENCHMARK(BM_FullReplot)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReplotAfterZoom(benchmark::State& state) {
  auto chart = ShownChart();
  ShowRun(*chart, LongRunStore(), SystemDateTimeFormats());
  const QRect plot = chart->axisRect()->rect();
  // A zoom onto a fifth of the plot: about 4,000 bars visible.
  chart->ZoomToPixelRect(QRect(plot.left() + plot.width() * 2 / 5, plot.top() + 20,
                               plot.width() / 5, plot.height() - 40));
  for (auto _ : state) chart->replot(QCustomPlot::rpImmediateRefresh);
  state.counters["spans"] = chart->PulseBars().LastDrawnSpans();
}
BENCHMARK(BM_ReplotAfterZoom)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderIntoImage(benchmark::State& state) {
  auto chart = ShownChart();
  ShowRun(*chart, LongRunStore(), SystemDateTimeFormats());
  QImage image(kChartSize, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QCPPainter painter(&image);
    chart->toPainter(&painter, kChartSize.width(), kChartSize.height());
  }
}
BENCHMARK(BM_RenderIntoImage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StoreLimitSelectionToDrawnChart(benchmark::State& state) {
  auto chart = ChartWithAdditions();
  const MeasurementStore& store = FullStore();
  const DateTimeFormats formats = SystemDateTimeFormats();
  for (auto _ : state) {
    ShowRun(*chart, store, formats);
    QApplication::processEvents();
  }
  state.counters["bars"] = chart->PulseBars().Count();
}
BENCHMARK(BM_StoreLimitSelectionToDrawnChart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StoreLimitFullReplot(benchmark::State& state) {
  auto chart = ChartWithAdditions();
  ShowRun(*chart, FullStore(), SystemDateTimeFormats());
  for (auto _ : state) chart->replot(QCustomPlot::rpImmediateRefresh);
  state.counters["spans"] = chart->PulseBars().LastDrawnSpans();
}
BENCHMARK(BM_StoreLimitFullReplot)->Unit(benchmark::kMillisecond)->UseRealTime();

// The committed K8 sample opened as the Open command does, its longest run
// picked and drawn with the 24h mean and error. Run from the repository root.
void BM_K8SampleLongestRun(benchmark::State& state) {
  auto store = std::make_unique<MeasurementStore>();
  DecodeContext context;
  context.now = EncodeDate(2100, 1, 1);
  context.writeFiles = false;
  const Result<OpenedFile> opened = OpenDataFile("samples/k8-sample.Rn", *store, context);
  if (!opened.ok() || store->RunCount == 0) {
    state.SkipWithError("samples/k8-sample.Rn not found: run from the repository root");
    return;
  }
  int longest = 0;
  for (int r = 1; r < store->RunCount; ++r) {
    const auto length = [&](int i) {
      return store->Runs[i].LastSample - store->Runs[i].FirstSample;
    };
    if (length(r) > length(longest)) longest = r;
  }
  auto chart = ShownChart();
  const DateTimeFormats formats = SystemDateTimeFormats();
  for (auto _ : state) {
    FillPulseDistributionSeries(*chart,
                                ComputePulseDistribution(*store, longest, {true, true, true}));
    const MeanFallbackResult means =
        ComputeMeansWithFallback(*store, longest, k24hItem, {true, true, true});
    FillIntervalMeanSeries(*chart, means.series);
    chart->UndoZoom();
    WriteFooterLine(*chart, *store, formats);
    QApplication::processEvents();
  }
  state.counters["bars"] = chart->PulseBars().Count();
}
BENCHMARK(BM_K8SampleLongestRun)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestrum
