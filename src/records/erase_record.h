// SPDX-License-Identifier: GPL-3.0-or-later
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

// Empty when this program never erased the instrument, or when the record
// does not say. A record that cannot be read (not a regular file, too long,
// unreadable) is the failure: the caller reports it and goes on as if the
// instrument was never erased.
Result<std::optional<DateTime>> LastErase(const std::string& dataFolder, const std::string& serial);

// Notes an erase. A record that cannot be read is written anew; one that
// is not a regular file is left alone and the failure says so.
Result<> RecordErase(const std::string& dataFolder, const std::string& serial, DateTime at);

}  // namespace kestrum
