// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/decoder_inputs.h"

#include "records/big_endian.h"
#include "records/memory_layout.h"
#include "records/model_facts.h"

namespace kestrum {
namespace {

struct SignedWord {
  Extended sign;
  std::uint32_t magnitude;
};

SignedWord SplitWord(const std::uint8_t* bytes, std::size_t offset) {
  const std::uint32_t word = BigEndian16(bytes, offset);
  if (word >= 0x8000) return {-1.0L, 65536u - word};
  return {1.0L, word};
}

}  // namespace

PressureCoefficients DecodePressureCoefficients(const std::uint8_t bytes[8]) {
  const SignedWord a0 = SplitWord(bytes, 0);
  const SignedWord b1 = SplitWord(bytes, 2);
  const SignedWord b2 = SplitWord(bytes, 4);
  const SignedWord c12 = SplitWord(bytes, 6);
  PressureCoefficients c;
  c.A0 = a0.sign * static_cast<Extended>(a0.magnitude & 0x7FFF) / 8.0L;
  c.B1 = b1.sign * static_cast<Extended>(b1.magnitude & 0x7FFF) / 8192.0L;
  c.B2 = b2.sign * static_cast<Extended>(b2.magnitude & 0x7FFF) / 16384.0L;
  c.C12 = c12.sign * static_cast<Extended>((c12.magnitude >> 2) & 0x1FFF) / 4194304.0L;
  // 0x8000 has magnitude 32768, which masks to zero; keep it a plain zero.
  if (c.A0 == 0) c.A0 = 0;
  if (c.B1 == 0) c.B1 = 0;
  if (c.B2 == 0) c.B2 = 0;
  if (c.C12 == 0) c.C12 = 0;
  return c;
}

void SetPressureCoefficients(MeasurementStore& store, const PressureCoefficients& coefficients) {
  store.PressureCoefficientA0 = coefficients.A0;
  store.PressureCoefficientB1 = coefficients.B1;
  store.PressureCoefficientB2 = coefficients.B2;
  store.PressureCoefficientC12 = coefficients.C12;
}

std::int32_t DirectorySlotOf(const MeasurementStore& store) {
  return store.MemoryImage[kDirectoryPointerByte] / kDirectoryEntryBytes;
}

Extended CalibrationFactorOf(const MeasurementStore& store) {
  return static_cast<Extended>(store.MemoryImage[kCalibrationByte]) +
         static_cast<Extended>(store.MemoryImage[kCalibrationByte + 1]) / 100.0L;
}

std::int32_t FinalAddressOf(const MeasurementStore& store, InstrumentModel model) {
  return static_cast<std::int32_t>(WritePointerOf(store.MemoryImage.data(), model));
}

std::optional<InstrumentModel> SetDecoderInputsFromImage(MeasurementStore& store) {
  const std::optional<InstrumentModel> model = ModelFromMarker(store.MemoryImage[0]);
  if (!model) return std::nullopt;
  if (HasPressureCoefficients(*model)) {
    SetPressureCoefficients(
        store, DecodePressureCoefficients(&store.MemoryImage[kPressureCoefficientsByte]));
  }
  store.DirectorySlot = DirectorySlotOf(store);
  store.CalibrationFactor = CalibrationFactorOf(store);
  store.FinalAddress = FinalAddressOf(store, *model);
  return model;
}

}  // namespace kestrum
