// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four instrument models and what tells them apart in a memory image.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrum {

enum class InstrumentModel { K5, K6, K7, K8 };

// Byte 0 of every memory image and data file: '1' (K5) .. '4' (K8).
inline constexpr std::uint8_t ModelMarkerOf(InstrumentModel model) {
  return static_cast<std::uint8_t>('1' + static_cast<int>(model));
}

inline std::optional<InstrumentModel> ModelFromMarker(std::uint8_t marker) {
  if (marker < '1' || marker > '4') return std::nullopt;
  return static_cast<InstrumentModel>(marker - '1');
}

inline constexpr const char* ModelName(InstrumentModel model) {
  switch (model) {
    case InstrumentModel::K5:
      return "K5";
    case InstrumentModel::K6:
      return "K6";
    case InstrumentModel::K7:
      return "K7";
    default:
      return "K8";
  }
}

inline constexpr InstrumentModel kAllModels[] = {InstrumentModel::K5, InstrumentModel::K6,
                                                 InstrumentModel::K7, InstrumentModel::K8};

// The model a name ("K5" .. "K8") stands for; none for any other text.
inline std::optional<InstrumentModel> ModelNamed(std::string_view name) {
  for (InstrumentModel model : kAllModels) {
    if (name == ModelName(model)) return model;
  }
  return std::nullopt;
}

}  // namespace kestrum

// ImageLengthOf is read from the model's memory layout row; everything that
// includes this header has it.
#include "records/memory_layout.h"
