// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Synthetic memory images laid out as the instrument lays them out: header,
// run directory and downward-running hourly samples with plausible values.
// Our only source of sample data for tests, the demo and the emulator.

#include <cstdint>
#include <vector>

#include "records/instrument_model.h"
#include "records/measurement_store.h"

namespace kestrum {

struct GeneratorOptions {
  InstrumentModel model = InstrumentModel::K8;
  int runs = 3;            // measuring runs in the directory
  int hours = 72;          // samples per run (cut to what the memory holds)
  std::uint32_t seed = 1;  // same seed, same image
  DateTime start = 0;      // start of the first run; 0 picks a fixed default date
};

// Returns exactly ImageLengthOf(options.model) bytes, byte 0 the model marker.
// lastRunEnd, if given, gets the end of the last run's last hour (the start
// when there are no runs).
std::vector<std::uint8_t> GenerateMemoryImage(const GeneratorOptions& options,
                                              DateTime* lastRunEnd = nullptr);

}  // namespace kestrum
