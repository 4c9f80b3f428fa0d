// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoding of a memory image into the run list and the hourly samples:
// one algorithm for all four models over their parameter table.

#include <optional>
#include <string>
#include <vector>

#include "records/date_time_format.h"
#include "records/instrument_model.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

inline constexpr const char* kNoMeasurementsMessage = "No measurements saved in K5! ";
inline constexpr const char* kSelectMeasurementText = "Select Measurement";
inline constexpr const char* kAllMeasurementsText = "All measurements";
inline constexpr const char* kK5datFileName = "k5dat.tmp";
inline constexpr const char* kDebugFileName = "debug.tmp";

struct DecodeContext {
  // Local date-time now; K7/K8 runs starting later than this are left out,
  // unless keepFutureRuns (the history keeps them, marked, to be re-dated).
  DateTime now = 0;
  bool keepFutureRuns = false;
  // Folder for "k5dat.tmp" and "debug.tmp"; empty means the current directory.
  std::string outputDirectory;
  // False leaves both files unwritten (fuzzing, benchmarks of the decode alone).
  bool writeFiles = true;
  DateTimeSeparators separators;
};

struct DecodeResult {
  InstrumentModel model = InstrumentModel::K5;
  // One text per run for "Select Measurement", in run order, without the
  // final "All measurements" item, which the caller adds when foundRuns.
  std::vector<std::string> itemTexts;
  bool foundRuns = false;
  // "Invalid argument to time encode" / "... date encode" when a directory
  // entry could not be turned into a date-time (that slot is left out); shown once.
  std::string dateTimeError;
  // Writing "k5dat.tmp" and "debug.tmp": the failure of the first that could
  // not be written, and that file's path.
  Result<> filesWritten;
  std::string failedFile;
};

// Decodes store.MemoryImage with the decoder inputs already set
// (SetDecoderInputsFromImage). Always completes: the run list, samples and
// both files are consistent afterwards. store.diagnosticText grows by one entry per
// slot for K6-K8.
DecodeResult DecodeImageK5(MeasurementStore& store, const DecodeContext& context);
DecodeResult DecodeImageK6(MeasurementStore& store, const DecodeContext& context);
DecodeResult DecodeImageK7(MeasurementStore& store, const DecodeContext& context);
DecodeResult DecodeImageK8(MeasurementStore& store, const DecodeContext& context);
DecodeResult DecodeImageAs(InstrumentModel model, MeasurementStore& store,
                           const DecodeContext& context);

// The decoder chosen by the image's marker byte; nothing (no decode at all)
// when byte 0 is not '1'..'4'.
std::optional<DecodeResult> DecodeImage(MeasurementStore& store, const DecodeContext& context);

// Item text of a packed run: "DD/MM HH.NN TO DD/MM HH.xx".
std::string RunItemText(const RunEntry& run, const DateTimeSeparators& separators);

}  // namespace kestrum
