#pragma once
// Opening a data file as the Open command does: read it, set the decoder
// inputs from its header and decode it. Shared by the window, the tool and
// the fuzz target.

#include <optional>
#include <string>

#include "records/data_file.h"
#include "records/image_decoder.h"

namespace kestrum {

struct OpenResult {
  // Empty when the file was taken; then decode holds the decode's outcome.
  std::string readError;
  std::optional<InstrumentModel> model;
  DecodeResult decode;
};

// A rejected file leaves the store (image, inputs, runs, samples) untouched.
OpenResult OpenDataFile(const std::string& path, MeasurementStore& store,
                        const DecodeContext& context);

// The same for bytes already in memory, named fileName in messages.
OpenResult OpenImageBytes(const std::uint8_t* data, std::size_t size, const std::string& fileName,
                          MeasurementStore& store, const DecodeContext& context);

}  // namespace kestrum
