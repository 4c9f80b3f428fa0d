// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/text_export.h"

#include "records/checked_file.h"
#include "records/model_facts.h"
#include "records/whole_number_text.h"

namespace kestrum {

std::string TextExportContent(const MeasurementStore& store, const DateTimeSeparators& separators) {
  const std::optional<InstrumentModel> model = ModelFromMarker(store.MemoryImage[0]);
  const bool environment = model && ExportHasEnvironmentColumns(*model);

  std::string text = environment ? kExportHeaderK7K8 : kExportHeaderK5K6;
  text += "\r\n";
  text.reserve(text.size() + static_cast<std::size_t>(store.LastSampleIndex + 1) * 48);
  for (std::int32_t i = 0; i <= store.LastSampleIndex; ++i) {
    const SampleRecord& s = store.Samples[i];
    AppendExportStamp(text, s.Time, separators);
    text += "; ";
    AppendRoundedInteger(text, s.Concentration);
    text += "; ";
    AppendRoundedInteger(text, s.Error);
    if (environment) {
      text += "; ";
      AppendRoundedInteger(text, s.TemperatureValue);
      text += "; ";
      AppendRoundedInteger(text, s.HumidityValue);
      text += "; ";
      AppendRoundedInteger(text, s.PressureValue);
      text += "; ";
    }
    text += "\r\n";
  }
  return text;
}

Result<> SaveTextExport(const std::string& path, const MeasurementStore& store,
                        const DateTimeSeparators& separators) {
  return WriteFileReplacing(path, TextExportContent(store, separators));
}

}  // namespace kestrum
