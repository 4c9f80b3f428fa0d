#include "records/open_data_file.h"

#include "records/decoder_inputs.h"

namespace kestrum {
namespace {

Result<OpenedFile> DecodeLoaded(const Result<InstrumentModel>& loaded, MeasurementStore& store,
                                const DecodeContext& context) {
  if (!loaded) return loaded.failure();
  OpenedFile opened;
  // The image's marker was checked by the load, so the inputs are always set.
  opened.model = SetDecoderInputsFromImage(store).value_or(loaded.value());
  opened.decode = DecodeImageAs(opened.model, store, context);
  return opened;
}

}  // namespace

Result<OpenedFile> OpenDataFile(const std::string& path, MeasurementStore& store,
                                const DecodeContext& context) {
  return DecodeLoaded(ReadDataFile(path, store), store, context);
}

Result<OpenedFile> OpenImageBytes(const std::uint8_t* data, std::size_t size,
                                  const std::string& fileName, MeasurementStore& store,
                                  const DecodeContext& context) {
  return DecodeLoaded(LoadImageBytes(data, size, fileName, store), store, context);
}

}  // namespace kestrum
