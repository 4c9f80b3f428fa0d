// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A data file's runs and hourly samples as plain values: what a decode gives
// the history, without the 100,001-record store the window draws from.

#include <string>
#include <string_view>
#include <vector>

#include "records/date_time.h"
#include "records/hourly_sample.h"
#include "records/instrument_model.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

// A run as one decode gave it.
struct DecodedRun {
  DateTime start = 0;
  std::vector<HourlySample> samples;
};

// Everything the history takes of one data file.
struct DecodedFile {
  InstrumentModel model = InstrumentModel::K5;
  double calibrationFactor = 6.0;
  std::vector<DecodedRun> runs;
};

// A data file's bytes decoded into `scratch` and taken out of it: every run,
// also those dated after `now` that the window leaves out.
Result<DecodedFile> DecodeEveryRun(std::string_view bytes, const std::string& fileName,
                                   DateTime now, MeasurementStore& scratch);

}  // namespace kestrum
