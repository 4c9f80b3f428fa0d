#pragma once
// When this program last erased each instrument, by converter serial: the
// file "erased" in the data folder, one line "<serial> <YYYYMMDD-HHMMSS>"
// per instrument. Kept across runs so that the erase question knows whether
// the memory was kept since.

#include <optional>
#include <string>

#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

// Empty when this program never erased the instrument (or the record is unreadable).
std::optional<DateTime> LastErase(const std::string& dataFolder, const std::string& serial);

// Notes an erase.
Result<> RecordErase(const std::string& dataFolder, const std::string& serial, DateTime at);

}  // namespace kestrum
