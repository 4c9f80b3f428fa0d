// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/decode_files.h"

#include "records/whole_number_text.h"

namespace kestrum {

std::string K5datText(const MeasurementStore& store, const DateTimeSeparators& separators) {
  std::string text;
  text.reserve(static_cast<std::size_t>(store.LastSampleIndex + 1) * 20);
  for (std::int32_t i = 0; i <= store.LastSampleIndex; ++i) {
    const SampleRecord& sample = store.Samples[i];
    AppendHourStamp(text, sample.Time, separators);
    text += "; ";
    AppendRoundedInteger(text, sample.Concentration);
    text += "\r\n";
  }
  return text;
}

std::string DebugText(const MeasurementStore& store) {
  return store.diagnosticText + "\r\n";
}

}  // namespace kestrum
