// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "records/bcd.h"
#include "records/decoder_inputs.h"
#include "records/image_builder.h"
#include "records/image_decoder.h"

namespace kestrum {
namespace {

using testing::NewStore;

TEST(BcdToByte, PackedDigitsAndErasedBytes) {
  EXPECT_EQ(BcdToByte(0x00), 0);
  EXPECT_EQ(BcdToByte(0x09), 9);
  EXPECT_EQ(BcdToByte(0x10), 10);
  EXPECT_EQ(BcdToByte(0x59), 59);
  EXPECT_EQ(BcdToByte(0x60), 60);
  EXPECT_EQ(BcdToByte(0x99), 99);
  EXPECT_EQ(BcdToByte(0xA5), 105);  // not BCD: 165 - 60
  EXPECT_EQ(BcdToByte(0xFF), 165);  // erased
  EXPECT_EQ(BcdToByte(0x0A), 10);
}

TEST(DecoderInputs, HeaderBytes) {
  auto store = NewStore();
  auto& image = store->MemoryImage;
  image[0] = '3';
  image[1] = 0x01;
  image[2] = 0x23;
  image[3] = 0x45;
  image[6] = 0x57;
  image[7] = 6;
  image[8] = 25;
  ASSERT_EQ(SetDecoderInputsFromImage(*store), InstrumentModel::K7);
  EXPECT_EQ(store->FinalAddress, 74565);
  EXPECT_EQ(store->DirectorySlot, 10);
  EXPECT_EQ(store->CalibrationFactor, 6.0L + 25.0L / 100.0L);

  image[7] = 5;
  image[8] = 25;
  EXPECT_EQ(CalibrationFactorOf(*store), 5.25L);
  image[7] = 255;
  image[8] = 255;
  EXPECT_EQ(CalibrationFactorOf(*store), 255.0L + 255.0L / 100.0L);
}

TEST(DecoderInputs, FinalAddressKeepsAllSixteenBitsOnK5AndK6) {
  auto store = NewStore();
  auto& image = store->MemoryImage;
  image[1] = 0x7F;  // not part of a K5/K6 address
  image[2] = 0x83;
  image[3] = 0xE8;
  EXPECT_EQ(FinalAddressOf(*store, InstrumentModel::K5), 0x83E8);
  EXPECT_EQ(FinalAddressOf(*store, InstrumentModel::K6), 0x83E8);  // no mask, unlike the pointer
  EXPECT_EQ(FinalAddressOf(*store, InstrumentModel::K8), 0x7F83E8);
}

TEST(DecoderInputs, K5AndK6LeaveThePressureCoefficientsAlone) {
  auto store = NewStore();
  store->PressureCoefficientA0 = 7;
  store->MemoryImage[0] = '2';
  store->MemoryImage[9] = 0x3E;
  store->MemoryImage[10] = 0xCE;
  ASSERT_EQ(SetDecoderInputsFromImage(*store), InstrumentModel::K6);
  EXPECT_EQ(store->PressureCoefficientA0, 7);
  store->MemoryImage[0] = '4';
  ASSERT_EQ(SetDecoderInputsFromImage(*store), InstrumentModel::K8);
  EXPECT_EQ(store->PressureCoefficientA0, 2009.75L);
}

TEST(DecoderInputs, UnknownMarkerChangesNothing) {
  auto store = NewStore();
  store->MemoryImage[0] = '5';
  store->MemoryImage[6] = 80;
  store->DirectorySlot = 3;
  EXPECT_FALSE(SetDecoderInputsFromImage(*store));
  EXPECT_EQ(store->DirectorySlot, 3);
  EXPECT_FALSE(DecodeImage(*store, testing::NoFiles()));
}

PressureCoefficients Words(std::uint16_t a0, std::uint16_t b1, std::uint16_t b2,
                           std::uint16_t c12) {
  const std::uint8_t bytes[8] = {
      static_cast<std::uint8_t>(a0 >> 8),  static_cast<std::uint8_t>(a0),
      static_cast<std::uint8_t>(b1 >> 8),  static_cast<std::uint8_t>(b1),
      static_cast<std::uint8_t>(b2 >> 8),  static_cast<std::uint8_t>(b2),
      static_cast<std::uint8_t>(c12 >> 8), static_cast<std::uint8_t>(c12)};
  return DecodePressureCoefficients(bytes);
}

TEST(PressureCoefficients, SensorWordsDecodeExactly) {
  const PressureCoefficients c = Words(0x3ECE, 0xB3F9, 0xC517, 0x33C8);
  EXPECT_EQ(c.A0, 2009.75L);
  EXPECT_EQ(c.B1, -2.3758544921875L);
  EXPECT_EQ(c.B2, -0.92047119140625L);
  EXPECT_EQ(c.C12, 0.000790119171142578125L);
}

TEST(PressureCoefficients, ZeroSignBitAndMinusOne) {
  for (std::uint16_t w : {std::uint16_t{0x0000}, std::uint16_t{0x8000}}) {
    const PressureCoefficients c = Words(w, w, w, w);
    EXPECT_EQ(c.A0, 0);
    EXPECT_EQ(c.B1, 0);
    EXPECT_EQ(c.B2, 0);
    EXPECT_EQ(c.C12, 0);
  }
  const PressureCoefficients c = Words(0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF);
  EXPECT_EQ(c.A0, -1.0L / 8);
  EXPECT_EQ(c.B1, -1.0L / 8192);
  EXPECT_EQ(c.B2, -1.0L / 16384);
  EXPECT_EQ(c.C12, 0);  // magnitude 1 shifted right by 2
  // Largest positive words: 15 (A0..B2) or 13 (C12) magnitude bits.
  const PressureCoefficients top = Words(0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF);
  EXPECT_EQ(top.A0, 32767.0L / 8);
  EXPECT_EQ(top.C12, 8191.0L / 4194304);
}

}  // namespace
}  // namespace kestrum
