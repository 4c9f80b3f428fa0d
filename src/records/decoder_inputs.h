// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The decoder inputs taken from an image header before every decode, and
// the K7/K8 pressure-sensor coefficient words (MPL115A formats).

#include <cstdint>
#include <optional>

#include "records/instrument_model.h"
#include "records/measurement_store.h"

namespace kestrum {

struct PressureCoefficients {
  Extended A0 = 0;
  Extended B1 = 0;
  Extended B2 = 0;
  Extended C12 = 0;
};

// Four big-endian signed words A0, B1, B2, C12: sign and magnitude, A0 with 3
// fraction bits, B1 with 13, B2 with 14, C12 with 13 scaled by 2^-22.
// The download converts the instrument's 8-byte reply with this too.
PressureCoefficients DecodePressureCoefficients(const std::uint8_t bytes[8]);
void SetPressureCoefficients(MeasurementStore& store, const PressureCoefficients& coefficients);

// Header values (image bytes 1-8).
std::int32_t DirectorySlotOf(const MeasurementStore& store);  // byte 6 div 8
Extended CalibrationFactorOf(const MeasurementStore& store);  // byte 7 + byte 8 / 100
std::int32_t FinalAddressOf(const MeasurementStore& store, InstrumentModel model);

// Sets DirectorySlot, CalibrationFactor and FinalAddress from the image and,
// for K7/K8, the pressure coefficients from bytes 9-16. Returns the model of
// the image, or nothing (and changes nothing) when byte 0 is not '1'..'4'.
std::optional<InstrumentModel> SetDecoderInputsFromImage(MeasurementStore& store);

}  // namespace kestrum
