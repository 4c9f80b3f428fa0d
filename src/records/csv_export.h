// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The samples as CSV for spreadsheets: a header row, then one row per
// stamped sample, comma-separated, a dot as decimal separator whatever the
// locale, times as ISO 8601 local minutes, "\n" line ends. The column names
// and number texts are those of "kestrum-tool history export", which writes
// its rows with the same helpers.

#include <optional>
#include <string>

#include "records/instrument_model.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

inline constexpr char kCsvExportHeader[] =
    "time,run,bqm3,error_bqm3,pulses,temperature_c,humidity_percent,pressure_kpa";

// Which sensor columns hold measurements; the others stay empty.
struct CsvChannels {
  bool temperature = true;
  bool humidity = true;
  bool pressure = true;
};

// An unknown model shows every channel rather than hide a measured one.
CsvChannels CsvChannelsOf(std::optional<InstrumentModel> model);

// Three decimals, a dot.
std::string CsvNumber(double value);

// "2024-03-31T00:56".
std::string CsvMinute(DateTime value);

// In double quotes (inner quotes doubled) when it holds a comma, a quote or
// a line break.
std::string CsvField(const std::string& text);
// A text the user typed, as a cell a spreadsheet shows and never runs: one
// that starts with =, +, -, @, a tab or a carriage return gets a leading '.
std::string CsvUserText(const std::string& text);

struct CsvMeasurement {
  double concentration = 0;
  double error = 0;
  double pulses = 0;
  double temperature = 0;
  double humidity = 0;
  double pressure = 0;
};

// Appends "bqm3,error_bqm3,pulses,temperature_c,humidity_percent,pressure_kpa".
void AppendCsvMeasurement(std::string& row, const CsvMeasurement& m, const CsvChannels& channels);

// Which samples the export holds: one run (0-based as in "Select
// Measurement") or all, and the inclusive time range.
struct CsvSelection {
  int run = -1;  // -1: every run
  DateTime from = -1e9;
  DateTime to = 1e9;
};

struct CsvExport {
  std::string text;
  int rows = 0;
};

// Samples stamped 0 are left out, as in the views.
CsvExport CsvExportContent(const MeasurementStore& store, const CsvSelection& selection = {});

// Every run's samples, through a temporary file renamed over path.
Result<> SaveCsvExport(const std::string& path, const MeasurementStore& store);

}  // namespace kestrum
