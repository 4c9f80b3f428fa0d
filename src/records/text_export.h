// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text export of the decoded samples: a header line, then one
// "; "-separated line per sample 0..LastSampleIndex, lines ending CR LF.

#include <string>

#include "records/date_time_format.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

inline constexpr const char* kExportHeaderK7K8 =
    "Time; Bqm3; Error; Temperature; Humidity%; Presssure";
inline constexpr const char* kExportHeaderK5K6 = "Time; Bqm3; Error";

// The whole export; the columns follow the image's marker (K7/K8 lines carry
// temperature, humidity and pressure and end with "; ").
std::string TextExportContent(const MeasurementStore& store, const DateTimeSeparators& separators);

// Writes the export through a temporary file renamed over path.
Result<> SaveTextExport(const std::string& path, const MeasurementStore& store,
                        const DateTimeSeparators& separators);

}  // namespace kestrum
