// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/open_data_file.h"

#include "records/decoder_inputs.h"

namespace kestrum {
namespace {

Result<OpenedFile> DecodeLoaded(const Result<InstrumentModel>& loaded, std::size_t size,
                                const std::string& fileName, MeasurementStore& store,
                                const DecodeContext& context) {
  if (!loaded) return loaded.failure();
  OpenedFile opened;
  const auto length = static_cast<std::size_t>(ImageLengthOf(loaded.value()));
  if (size > length) {
    opened.note = fileName + " holds more than a " + ModelName(loaded.value()) + "'s memory of " +
                  std::to_string(length) + " bytes; the bytes after them were left out";
  }
  // The image's marker was checked by the load, so the inputs are always set.
  opened.model = SetDecoderInputsFromImage(store).value_or(loaded.value());
  opened.decode = DecodeImageAs(opened.model, store, context);
  return opened;
}

}  // namespace

Result<OpenedFile> OpenDataFile(const std::string& path, MeasurementStore& store,
                                const DecodeContext& context) {
  const Result<std::vector<std::uint8_t>> file = ReadDataFileBytes(path);
  if (!file) return file.failure();
  return OpenImageBytes(file->data(), file->size(), path, store, context);
}

Result<OpenedFile> OpenImageBytes(const std::uint8_t* data, std::size_t size,
                                  const std::string& fileName, MeasurementStore& store,
                                  const DecodeContext& context) {
  return DecodeLoaded(LoadImageBytes(data, size, fileName, store), size, fileName, store, context);
}

}  // namespace kestrum
