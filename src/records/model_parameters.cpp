// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/model_parameters.h"

namespace kestrum {
namespace {

// Each model is told by how it differs from the one before it; the fields are
// explained in model_parameters.h.
constexpr ModelParameters K5Parameters() {
  ModelParameters p{};
  p.model = InstrumentModel::K5;
  p.addressBytes = LayoutOf(p.model).addressBytes;
  p.addressMask = LayoutOf(p.model).addressMask;
  p.sampleSize = 2;
  p.lowestValidAddress = 255;
  p.highestValidStart = ImageLengthOf(p.model);
  p.highestValidEnd = ImageLengthOf(p.model);
  p.nextStartOffset = 0;
  p.slot27EndFromHeader = true;
  p.writePointerOffset = 0;
  p.lastIndexOffset = -2;
  p.readMargin = 0;
  p.futureStartCheck = false;
  p.writesDiagnosticText = false;
  p.sensors = SensorLayout::None;
  return p;
}

constexpr ModelParameters K6Parameters() {
  ModelParameters p = K5Parameters();
  p.model = InstrumentModel::K6;
  p.addressMask = LayoutOf(p.model).addressMask;
  p.sampleSize = 6;
  p.highestValidStart = ImageLengthOf(p.model);
  p.highestValidEnd = ImageLengthOf(p.model);
  p.lastIndexOffset = -1;
  p.writesDiagnosticText = true;
  p.sensors = SensorLayout::K6;
  return p;
}

constexpr ModelParameters K7Parameters() {
  ModelParameters p = K6Parameters();
  p.model = InstrumentModel::K7;
  p.addressBytes = LayoutOf(p.model).addressBytes;
  p.addressMask = LayoutOf(p.model).addressMask;
  p.lowestValidAddress = 512;
  // The last address of the memory, not one past it.
  p.highestValidStart = ImageLengthOf(p.model) - 1;
  p.highestValidEnd = ImageLengthOf(p.model) - 1;
  p.nextStartOffset = 6;
  p.slot27EndFromHeader = false;
  p.writePointerOffset = 6;
  p.futureStartCheck = true;
  p.sensors = SensorLayout::K7;
  return p;
}

constexpr ModelParameters K8Parameters() {
  ModelParameters p = K7Parameters();
  p.model = InstrumentModel::K8;
  p.sampleSize = 8;
  p.highestValidStart = 131072;
  p.readMargin = 7;
  p.sensors = SensorLayout::K8;
  return p;
}

// Indexed by InstrumentModel.
constexpr ModelParameters kParameters[] = {K5Parameters(), K6Parameters(), K7Parameters(),
                                           K8Parameters()};

constexpr bool RowsFollowTheModels() {
  for (int i = 0; i < 4; ++i) {
    if (static_cast<int>(kParameters[i].model) != i) return false;
  }
  return true;
}
static_assert(RowsFollowTheModels(), "kParameters is indexed by InstrumentModel");

}  // namespace

const ModelParameters& ParametersOf(InstrumentModel model) {
  return kParameters[static_cast<int>(model)];
}

}  // namespace kestrum
