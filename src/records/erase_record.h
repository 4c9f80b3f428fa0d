#pragma once
// When this program last erased each instrument, by converter serial: the
// file "erased" in the data folder, one line "<serial> <YYYYMMDD-HHMMSS>"
// per instrument. Kept across runs so that the erase question knows whether
// the memory was kept since.

#include <optional>
#include <string>

#include "records/measurement_store.h"

namespace kestrum {

// Empty when this program never erased the instrument (or the record is unreadable).
std::optional<DateTime> LastErase(const std::string& dataFolder, const std::string& serial);

// Notes an erase; the error text, empty on success.
std::string RecordErase(const std::string& dataFolder, const std::string& serial, DateTime at);

}  // namespace kestrum
