// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Contents of the two files every decode leaves in the current directory:
// "k5dat.tmp" (hour stamp and rounded concentration of every packed sample)
// and, for K6-K8, "debug.tmp" (the diagnostic text).

#include <string>

#include "records/date_time_format.h"
#include "records/measurement_store.h"

namespace kestrum {

// One "DD/MM HH.00; <concentration>" line per sample 0..LastSampleIndex, CR LF.
std::string K5datText(const MeasurementStore& store, const DateTimeSeparators& separators);

// The whole diagnostic text followed by CR LF.
std::string DebugText(const MeasurementStore& store);

}  // namespace kestrum
