// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/csv_export.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "records/checked_file.h"
#include "records/date_time.h"
#include "records/model_facts.h"

namespace kestrum {

CsvChannels CsvChannelsOf(std::optional<InstrumentModel> model) {
  if (!model) return {};
  const bool environment = HasTemperatureAndHumidity(*model);
  return {environment, environment, HasPressure(*model)};
}

std::string CsvNumber(double value) {
  // to_chars ignores the locale, so the decimal separator is always a dot.
  char text[400];
  const std::to_chars_result end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
  return std::string(text, end.ptr);
}

std::string CsvMinute(DateTime value) {
  // Sample times can lie a rounding step below their minute.
  const DateTimeFields f = SplitDateTime(value + kOneMillisecond / 2);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", f.year, f.month, f.day, f.hour,
                f.minute);
  return text;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string CsvUserText(const std::string& text) {
  const bool formula =
      !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
  return CsvField(formula ? "'" + text : text);
}

void AppendCsvMeasurement(std::string& row, const CsvMeasurement& m, const CsvChannels& channels) {
  const auto channel = [&row](bool has, double value) {
    row += ',';
    if (has) row += CsvNumber(value);
  };
  row += CsvNumber(m.concentration);
  row += ',';
  row += CsvNumber(m.error);
  row += ',';
  row += CsvNumber(m.pulses);
  channel(channels.temperature, m.temperature);
  channel(channels.humidity, m.humidity);
  channel(channels.pressure, m.pressure);
}

CsvExport CsvExportContent(const MeasurementStore& store, const CsvSelection& selection) {
  const CsvChannels channels = CsvChannelsOf(ModelFromMarker(store.MemoryImage[0]));
  CsvExport out;
  out.text = std::string(kCsvExportHeader) + "\n";
  for (int r = 0; r < store.RunCount; ++r) {
    if (selection.run >= 0 && r != selection.run) continue;
    const RunEntry& run = store.Runs[r];
    const std::string runText = "," + std::to_string(r) + ",";
    for (std::int32_t i = run.FirstSample; i <= run.LastSample; ++i) {
      const SampleRecord& s = store.Samples[i];
      if (s.Time == 0 || s.Time < selection.from || s.Time > selection.to) continue;
      out.text += CsvMinute(s.Time);
      out.text += runText;
      AppendCsvMeasurement(
          out.text,
          {static_cast<double>(s.Concentration), static_cast<double>(s.Error),
           static_cast<double>(s.Pulses), static_cast<double>(s.TemperatureValue),
           static_cast<double>(s.HumidityValue), static_cast<double>(s.PressureValue)},
          channels);
      out.text += '\n';
      ++out.rows;
    }
  }
  return out;
}

Result<> SaveCsvExport(const std::string& path, const MeasurementStore& store) {
  return WriteFileReplacing(path, CsvExportContent(store).text);
}

}  // namespace kestrum
