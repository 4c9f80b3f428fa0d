#include "records/open_data_file.h"

#include "records/decoder_inputs.h"

namespace kestrum {
namespace {

OpenResult DecodeLoaded(const ImageLoadResult& loaded, MeasurementStore& store,
                        const DecodeContext& context) {
  OpenResult result;
  if (!loaded.model) {
    result.readError = loaded.error;
    return result;
  }
  result.model = SetDecoderInputsFromImage(store);
  result.decode = DecodeImageAs(*result.model, store, context);
  return result;
}

}  // namespace

OpenResult OpenDataFile(const std::string& path, MeasurementStore& store,
                        const DecodeContext& context) {
  return DecodeLoaded(ReadDataFile(path, store), store, context);
}

OpenResult OpenImageBytes(const std::uint8_t* data, std::size_t size, const std::string& fileName,
                          MeasurementStore& store, const DecodeContext& context) {
  return DecodeLoaded(LoadImageBytes(data, size, fileName, store), store, context);
}

}  // namespace kestrum
