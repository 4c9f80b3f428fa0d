// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/decoded_file.h"

#include <algorithm>

#include "records/open_data_file.h"

namespace kestrum {
namespace {

DecodedFile DecodedFileFromStore(const MeasurementStore& store) {
  DecodedFile file;
  file.model = ModelFromMarker(store.MemoryImage[0]).value_or(InstrumentModel::K5);
  file.calibrationFactor = static_cast<double>(store.CalibrationFactor);
  for (std::int32_t r = 0; r < store.RunCount && r < kRunCapacity; ++r) {
    const RunEntry& entry = store.Runs[static_cast<std::size_t>(r)];
    DecodedRun run;
    run.start = entry.StartTime;
    const std::int32_t first = std::max<std::int32_t>(entry.FirstSample, 0);
    const std::int32_t last = std::min(entry.LastSample, store.LastSampleIndex);
    for (std::int32_t i = first; i <= last; ++i) {
      const SampleRecord& s = store.Samples[static_cast<std::size_t>(i)];
      run.samples.push_back(
          {s.Time, static_cast<double>(s.Concentration), static_cast<double>(s.Error),
           static_cast<double>(s.Pulses), static_cast<double>(s.TemperatureValue),
           static_cast<double>(s.HumidityValue), static_cast<double>(s.PressureValue)});
    }
    file.runs.push_back(std::move(run));
  }
  return file;
}

}  // namespace

Result<DecodedFile> DecodeEveryRun(std::string_view bytes, const std::string& fileName,
                                   DateTime now, MeasurementStore& scratch) {
  DecodeContext context;
  context.now = now;
  context.writeFiles = false;
  // Every run the bytes hold: once they are known, they are not read again.
  context.keepFutureRuns = true;
  const Result<OpenedFile> opened =
      OpenImageBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), fileName,
                     scratch, context);
  if (!opened) return opened.failure();
  return DecodedFileFromStore(scratch);
}

}  // namespace kestrum
