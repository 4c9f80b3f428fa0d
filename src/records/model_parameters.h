// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What distinguishes the four decoders: address widths, sample layout, the
// rules for the end of a directory slot and the extra checks. The decoding
// algorithm itself is shared (image_decoder.cpp).

#include <cstdint>

#include "records/instrument_model.h"
#include "records/memory_layout.h"

namespace kestrum {

enum class SensorLayout { None, K6, K7, K8 };

struct ModelParameters {
  InstrumentModel model;
  // Directory start addresses: two bytes (K5, K6) or three (K7, K8), masked;
  // both from the model's memory layout row.
  int addressBytes;
  std::uint32_t addressMask;
  // Bytes per hourly sample: pulses (2), then the sensor bytes of the layout.
  int sampleSize;
  // A directory start or end below this is an empty slot (header and directory
  // live beneath it).
  std::int32_t lowestValidAddress;
  // A directory start above this, or an end above highestValidEnd, is an empty slot.
  std::int32_t highestValidStart;
  std::int32_t highestValidEnd;
  // End of slot r < 27 = start of slot r + 1 plus this.
  std::int32_t nextStartOffset;
  // K5, K6 take slot 27's end from header bytes 15-16; K7, K8 from the write pointer.
  bool slot27EndFromHeader;
  // End of slot 27 (K7, K8) and of slot DirectorySlot - 1 = WritePointer plus this.
  std::int32_t writePointerOffset;
  // Last sample index of a run = first + count + this (K5 shows one sample fewer).
  std::int32_t lastIndexOffset;
  // Samples are read while start - k >= end + readMargin.
  std::int32_t readMargin;
  // A run that starts in the future (the instrument's clock was wrong) is skipped.
  bool futureStartCheck;
  // The decode writes its directory walk into the diagnostic text.
  bool writesDiagnosticText;
  // Which sensor bytes follow the pulses in a sample.
  SensorLayout sensors;
};

const ModelParameters& ParametersOf(InstrumentModel model);

}  // namespace kestrum
