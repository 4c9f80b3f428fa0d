// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement history. Targets on this machine:
// - rebuild from 100 kept K8 downloads of one instrument that repeat its
//   runs as successive downloads do (about 20,000 distinct samples): <= 1.0 s;
// - importing one more download into that history: <= 50 ms;
// - a 12-month selection (8,760 samples) to drawn chart: <= 30 ms, a
//   10-year one (87,600): <= 60 ms.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include "bench_application.h"

#include "app/history_chart_view.h"
#include "history/history_files.h"
#include "history/history_selection.h"
#include "records/checked_file.h"
#include "records/date_time.h"
#include "records/image_generator.h"
#include "records/kept_downloads.h"
#include "views/gui/kestrum_chart.h"

namespace kestrum {
namespace {

namespace fs = std::filesystem;

// Four memories between erases, each filled over 25 downloads with runs of
// 200 hours: download k of a memory holds its runs 1..k, as the instrument
// keeps them until it is erased.
constexpr int kErases = 4;
constexpr int kDownloadsPerErase = 25;
constexpr int kRunHours = 200;

const DateTime kFirstStart = 46000;  // 2025-12-09
const DateTime kNow = 48000;

std::string BenchFolder() {
  static std::string folder = [] {
    char name[] = "/tmp/kestrum-history-bench-XXXXXX";
    return std::string(::mkdtemp(name) ? name : "/tmp");
  }();
  return folder;
}

// The kept downloads, written once; the last one is kept apart for the
// one-more import.
const std::vector<std::string>& KeptFiles() {
  static std::vector<std::string> files = [] {
    std::vector<std::string> paths;
    const std::string folder = BenchFolder() + "/downloads";
    fs::create_directories(folder);
    for (int e = 0; e < kErases; ++e) {
      for (int k = 1; k <= kDownloadsPerErase; ++k) {
        GeneratorOptions options;
        options.model = InstrumentModel::K8;
        options.runs = k;
        options.hours = kRunHours;
        options.seed = static_cast<std::uint32_t>(e + 1);
        options.start = kFirstStart + e * 250.0;
        DateTime end = 0;
        const std::vector<std::uint8_t> image = GenerateMemoryImage(options, &end);
        const Result<KeptDownloadFile> kept = KeepDownload(
            folder, InstrumentModel::K8, "BENCH1", end + 0.01,
            std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
        if (!kept) std::abort();
        paths.push_back(kept->path);
      }
    }
    return paths;
  }();
  return files;
}

std::unique_ptr<HistoryStore> FreshStore(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
  auto opened = HistoryStore::Open(path, {});
  if (!opened) std::abort();
  return std::move(opened.value());
}

void BM_HistoryRebuild(benchmark::State& state) {
  KeptFiles();
  const std::string path = BenchFolder() + "/rebuild.sqlite";
  int runs = 0;
  int samples = 0;
  for (auto _ : state) {
    auto store = FreshStore(path);
    const auto imports = ImportKeptDownloads(*store, BenchFolder() + "/downloads", kNow);
    state.PauseTiming();
    runs = 0;
    samples = 0;
    for (const HistoryRun& run : store->Runs().value()) {
      ++runs;
      samples += run.samples;
      if (run.conflict) std::abort();  // successive downloads must agree
    }
    if (imports.size() != KeptFiles().size()) std::abort();
    state.ResumeTiming();
  }
  state.counters["files"] = static_cast<double>(KeptFiles().size());
  state.counters["runs"] = runs;
  state.counters["samples"] = samples;
}
BENCHMARK(BM_HistoryRebuild)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_HistoryImportOneMore(benchmark::State& state) {
  const std::vector<std::string>& files = KeptFiles();
  const std::string base = BenchFolder() + "/ninety-nine.sqlite";
  {
    auto store = FreshStore(base);
    auto scratch = std::make_unique<MeasurementStore>();
    for (std::size_t i = 0; i + 1 < files.size(); ++i) {
      (void)ImportDataFiles(*store, {files[i]}, {}, kNow);
    }
  }
  const std::string path = BenchFolder() + "/one-more.sqlite";
  int newSamples = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
    fs::copy_file(base, path);
    if (fs::exists(base + "-wal")) fs::copy_file(base + "-wal", path + "-wal");
    auto opened = HistoryStore::Open(path, {});
    if (!opened) std::abort();
    HistoryStore& store = *opened.value();
    state.ResumeTiming();
    const auto imports = ImportDataFiles(store, {files.back()}, {}, kNow);
    state.PauseTiming();
    if (!imports[0].counts) std::abort();
    newSamples = imports[0].counts->newSamples;
    opened.value().reset();
    state.ResumeTiming();
  }
  state.counters["new_samples"] = newSamples;
}
BENCHMARK(BM_HistoryImportOneMore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// `years` of monthly runs of 730 hours (a day's gap between two), loaded as the
// history window keeps an instrument's runs.
std::vector<LoadedRun> Years(int years) {
  std::vector<LoadedRun> runs;
  DateTime start = kFirstStart;
  for (int m = 0; m < years * 12; ++m) {
    LoadedRun run;
    run.run.id = m + 1;
    run.run.model = InstrumentModel::K8;
    run.run.start = start;
    const int hours = 730;
    for (int i = 0; i < hours; ++i) {
      const double pulses = std::round(20 + 12 * std::sin(i / 40.0) + (i * 7919 % 13));
      run.samples.push_back({start + (i + 1) / 24.0, pulses * 6.25,
                             std::trunc(pulses * 6.25 / std::sqrt(pulses)), pulses,
                             18 + 3 * std::sin(i / 24.0), 50 + 10 * std::cos(i / 100.0),
                             98 + std::sin(i / 300.0)});
    }
    run.run.first = run.samples.front().time;
    run.run.last = run.samples.back().time;
    run.run.samples = hours;
    runs.push_back(std::move(run));
    start += (730 + 24) / 24.0;
  }
  return runs;
}

void SelectionToDrawnChart(benchmark::State& state, int years) {
  EnsureBenchApplication();
  const std::vector<LoadedRun> runs = Years(years);
  std::vector<const LoadedRun*> pointers;
  for (const LoadedRun& run : runs) pointers.push_back(&run);
  KestrumChart chart;
  chart.resize(1017, 470);
  chart.show();
  QApplication::processEvents();
  HistoryViewChoices choices;
  choices.meanItem = 4;  // 24 h
  choices.meanError = true;
  choices.lines = {true, true, true};
  int samples = 0;
  for (auto _ : state) {
    HistorySelection selection = PackSamples(pointers, 0, 1e9, 6.25);
    DrawHistorySelection(chart, selection, choices);
    QApplication::processEvents();
    samples = selection.samples();
  }
  state.counters["samples"] = samples;
}

void BM_HistoryYearToDrawnChart(benchmark::State& state) {
  SelectionToDrawnChart(state, 1);
}
BENCHMARK(BM_HistoryYearToDrawnChart)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HistoryTenYearsToDrawnChart(benchmark::State& state) {
  SelectionToDrawnChart(state, 10);
}
BENCHMARK(BM_HistoryTenYearsToDrawnChart)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestrum
