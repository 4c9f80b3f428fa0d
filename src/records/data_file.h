// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ".Rn" data files: the memory image itself, 8,192 (K5), 32,768 (K6) or
// 131,072 (K7, K8) bytes, the length given by the model marker in byte 0.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "records/instrument_model.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

// Takes the first ImageLengthOf(model) bytes into store.MemoryImage. A wrong
// first byte or too few bytes leave the store untouched and give a message
// naming fileName and the problem. Longer data: the first bytes count.
Result<InstrumentModel> LoadImageBytes(const std::uint8_t* data, std::size_t size,
                                       const std::string& fileName, MeasurementStore& store);

// A file's first bytes: never more than the longest image plus one, so that
// a longer file can be told apart. Anything but a regular file (FIFO,
// device, folder) is refused without waiting for it. Failures name the file.
Result<std::vector<std::uint8_t>> ReadDataFileBytes(const std::string& path);

// Reads a data file as LoadImageBytes takes it; the store is untouched on any
// error (missing, unreadable, not a regular file, wrong marker, too short).
Result<InstrumentModel> ReadDataFile(const std::string& path, MeasurementStore& store);

// The bytes a data file holds for the store's image: the model's length, or
// nothing at all when byte 0 is no model marker.
std::string DataFileContent(const MeasurementStore& store);

// Saves the image through a temporary file renamed over path.
Result<> SaveDataFile(const std::string& path, const MeasurementStore& store);

}  // namespace kestrum
