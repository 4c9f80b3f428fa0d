// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/history_output.h"

#include <cstdio>

#include "records/csv_export.h"
#include "tool/summary_output.h"

namespace kestrum::tool {

namespace {

// ESC, BEL, NUL and the like would reach the terminal as commands.
bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

}  // namespace

std::string LineText(const std::string& text, bool alwaysQuoted) {
  bool quoted = alwaysQuoted;
  for (const char c : text) {
    if (c == ' ' || c == '"' || c == '\\' || IsControl(c)) quoted = true;
  }
  if (!quoted) return text;
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
      case '\\':
        out += '\\';
        out += c;
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (IsControl(c)) {
          char escaped[5];
          std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

namespace {

// A run without samples has no first and last time.
std::string SampleMinute(DateTime time) {
  return time == 0 ? std::string() : SummaryMinute(time);
}

}  // namespace

std::string RunLine(const HistoryRun& run) {
  return "run=" + std::to_string(run.id) + " instrument=" + LineText(run.instrument) +
         " model=" + LineText(ModelName(run.model)) + " first=" + SampleMinute(run.first) +
         " last=" + SampleMinute(run.last) + " samples=" + std::to_string(run.samples) +
         " downloads=" + std::to_string(run.downloads) + " site=" + LineText(run.site) +
         " excluded=" + (run.excluded ? "1" : "0") + " conflict=" + (run.conflict ? "1" : "0") +
         " overlaps=" + (run.overlaps ? "1" : "0") +
         " clock_unset=" + (run.clockUnset ? "1" : "0") + " redated=" + (run.redated ? "1" : "0") +
         " future=" + (run.future ? "1" : "0");
}

std::string NoInstrumentText(const std::string& name) {
  return "the history knows no instrument \"" + name + "\" (see \"kestrum-tool history runs\")";
}

std::string ActivityLine(const ActivityEntry& entry) {
  return "at=" + SummaryMinute(entry.at) + " kind=" + LineText(entry.kind) +
         " instrument=" + LineText(entry.instrument) + " text=" + LineText(entry.text, true);
}

std::string ExportRow(const HistoryRun& run, const HistorySample& sample) {
  std::string row =
      CsvMinute(sample.time) + "," + std::to_string(run.id) + "," + CsvUserText(run.site) + ",";
  AppendCsvMeasurement(row,
                       {sample.concentration, sample.error, sample.pulses, sample.temperature,
                        sample.humidity, sample.pressure},
                       CsvChannelsOf(run.model));
  return row;
}

}  // namespace kestrum::tool
