#include "records/model_parameters.h"

namespace kestrum {
namespace {

constexpr ModelParameters kParameters[] = {
    // model, addr bytes, mask, size, lowest, highest start, highest end, next+,
    // slot 27 from header, write pointer+, last index+, read margin, future, diagnostic
    {InstrumentModel::K5, 2, 0xFFFF, 2, 255, 8192, 8192, 0, true, 0, -2, 0, false, false,
     SensorLayout::None},
    {InstrumentModel::K6, 2, 0x7FFF, 6, 255, 32768, 32768, 0, true, 0, -1, 0, false, true,
     SensorLayout::K6},
    {InstrumentModel::K7, 3, 0xFFFFFF, 6, 512, 131071, 131071, 6, false, 6, -1, 0, true, true,
     SensorLayout::K7},
    {InstrumentModel::K8, 3, 0xFFFFFF, 8, 512, 131072, 131071, 6, false, 6, -1, 7, true, true,
     SensorLayout::K8},
};

}  // namespace

const ModelParameters& ParametersOf(InstrumentModel model) {
  return kParameters[static_cast<int>(model)];
}

}  // namespace kestrum
