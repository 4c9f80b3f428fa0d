// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a data file as the Open command does: read it, set the decoder
// inputs from its header and decode it. Shared by the window, the tool and
// the fuzz target.

#include <string>

#include "records/data_file.h"
#include "records/image_decoder.h"
#include "records/result.h"

namespace kestrum {

// A file that was taken, and what its decode gave.
struct OpenedFile {
  InstrumentModel model = InstrumentModel::K5;
  DecodeResult decode;
  // Taken, but worth saying: bytes after the image were left out. Empty otherwise.
  std::string note;
};

// A rejected file leaves the store (image, inputs, runs, samples) untouched.
Result<OpenedFile> OpenDataFile(const std::string& path, MeasurementStore& store,
                                const DecodeContext& context);

// The same for bytes already in memory, named fileName in messages.
Result<OpenedFile> OpenImageBytes(const std::uint8_t* data, std::size_t size,
                                  const std::string& fileName, MeasurementStore& store,
                                  const DecodeContext& context);

}  // namespace kestrum
