// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One hour of a measurement as the computations take it, whatever holds it:
// the decoder's store, a history run, or a test's own list.

#include "records/measurement_store.h"

namespace kestrum {

// Times are the instrument's local clock; the hour ends at `time`.
struct HourlySample {
  DateTime time = 0;
  double concentration = 0;  // Bq/m3
  double error = 0;          // Bq/m3
  double pulses = 0;
  double temperature = 0;
  double humidity = 0;
  double pressure = 0;  // kPa
};

}  // namespace kestrum
