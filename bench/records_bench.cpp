// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding the fullest images of each model and exporting their samples.
// Targets: a full K8 image decodes in under 1 ms, its text export takes
// under 20 ms.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "records/image_decoder.h"
#include "records/image_generator.h"
#include "records/open_data_file.h"
#include "records/text_export.h"

namespace kestrum {
namespace {

// 27 runs (the whole directory) of as many hours as the memory holds.
int FullHours(InstrumentModel model) {
  switch (model) {
    case InstrumentModel::K5:
      return 146;  // 3,942 samples stored
    case InstrumentModel::K6:
      return 200;  // 5,400
    case InstrumentModel::K7:
      return 804;  // 21,708
    default:
      return 603;  // 16,281
  }
}

struct Loaded {
  std::unique_ptr<MeasurementStore> store = std::make_unique<MeasurementStore>();
  std::vector<std::uint8_t> image;
};

Loaded& FullImage(InstrumentModel model) {
  static Loaded loaded[4];
  Loaded& entry = loaded[static_cast<int>(model)];
  if (entry.image.empty()) {
    GeneratorOptions options;
    options.model = model;
    options.runs = 27;
    options.hours = FullHours(model);
    entry.image = GenerateMemoryImage(options);
    DecodeContext context;
    context.now = 60000;
    context.writeFiles = false;
    // A generated image always opens; figures of one that did not would mean nothing.
    if (!OpenImageBytes(entry.image.data(), entry.image.size(), "bench", *entry.store, context))
      std::abort();
  }
  return entry;
}

std::string ScratchFolder() {
  static std::string folder = [] {
    char name[] = "/tmp/kestrum-bench-XXXXXX";
    return std::string(::mkdtemp(name) ? name : "/tmp");
  }();
  return folder;
}

void Decode(benchmark::State& state, InstrumentModel model, bool writeFiles) {
  MeasurementStore& store = *FullImage(model).store;
  DecodeContext context;
  context.now = 60000;
  context.writeFiles = writeFiles;
  context.outputDirectory = ScratchFolder();
  for (auto _ : state) {
    store.diagnosticText = "Memo1";  // the text grows with every decode otherwise
    DecodeResult result = DecodeImageAs(model, store, context);
    benchmark::DoNotOptimize(result);
  }
  state.counters["runs"] = store.RunCount;
  state.counters["samples"] = store.LastSampleIndex + 1;
}

void Export(benchmark::State& state, InstrumentModel model, bool toFile) {
  const MeasurementStore& store = *FullImage(model).store;
  const std::string path = ScratchFolder() + "/export.txt";
  for (auto _ : state) {
    if (toFile) {
      benchmark::DoNotOptimize(SaveTextExport(path, store, {}));
    } else {
      benchmark::DoNotOptimize(TextExportContent(store, {}));
    }
  }
  state.counters["samples"] = store.LastSampleIndex + 1;
}

void RegisterRecordsBenchmarks() {
  for (InstrumentModel model :
       {InstrumentModel::K5, InstrumentModel::K6, InstrumentModel::K7, InstrumentModel::K8}) {
    const std::string name = ModelName(model);
    benchmark::RegisterBenchmark(("Records/Decode/" + name).c_str(), Decode, model, false)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Records/DecodeWithFiles/" + name).c_str(), Decode, model, true)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Records/TextExport/" + name).c_str(), Export, model, false)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Records/TextExportToFile/" + name).c_str(), Export, model, true)
        ->Unit(benchmark::kMicrosecond);
  }
}

const bool kRegistered = (RegisterRecordsBenchmarks(), true);

}  // namespace
}  // namespace kestrum
