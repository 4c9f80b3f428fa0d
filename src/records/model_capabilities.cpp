// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/model_capabilities.h"

namespace kestrum {
namespace {

using Source = DownloadCopy::Source;

constexpr auto kParameterBytes = static_cast<std::size_t>(kParameterBlockBytes);

// The K7's image copy holds just the bytes its memory reply fills: all but the last.
constexpr auto kK7ImageCopyBytes = static_cast<std::size_t>(ImageLengthOf(InstrumentModel::K7) - 1);

const ModelCapabilities kRows[] = {
    {InstrumentModel::K5,
     true,
     true,
     {{kParameterCopyFile, Source::kParameters, kParameterBytes},
      {kK5ImageCopyFile, Source::kImage,
       static_cast<std::size_t>(ImageLengthOf(InstrumentModel::K5))}}},
    {InstrumentModel::K6,
     true,
     true,
     {{kParameterCopyFile, Source::kParameters, kParameterBytes},
      {kK6ImageCopyFile, Source::kImage,
       static_cast<std::size_t>(ImageLengthOf(InstrumentModel::K6))}}},
    {InstrumentModel::K7,
     true,
     true,
     {{kK7TableFile, Source::kWordTable, 0},
      {kParameterCopyFile, Source::kParameters, kParameterBytes},
      {kK7ImageCopyFile, Source::kImage, kK7ImageCopyBytes}}},
    {InstrumentModel::K8,
     false,
     false,
     {{kK8TableFile, Source::kWordTable, 0},
      {kK8ImageCopyFile, Source::kImage,
       static_cast<std::size_t>(ImageLengthOf(InstrumentModel::K8))}}},
};

}  // namespace

const ModelCapabilities& CapabilitiesOf(InstrumentModel model) {
  return kRows[static_cast<int>(model)];
}

}  // namespace kestrum
