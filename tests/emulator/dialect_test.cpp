// SPDX-License-Identifier: GPL-3.0-or-later
// Each dialect from the instrument's side, byte for byte: what it sends back
// for every command and what the command changes in the instrument.

#include <gtest/gtest.h>

#include "emulator/emulated_instrument.h"
#include "link/nibble_coding.h"

namespace kestrum {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Feeds the bytes one at a time and gathers every reply.
Bytes Send(EmulatedInstrument& instrument, const Bytes& bytes) {
  Bytes replies;
  for (std::uint8_t byte : bytes) {
    const DialectReply reply = instrument.Receive(byte);
    replies.insert(replies.end(), reply.bytes.begin(), reply.bytes.end());
  }
  return replies;
}

EmulatedInstrument Make(InstrumentModel model) {
  EmulatedInstrumentConfig config;
  config.model = model;
  config.memory.assign(static_cast<std::size_t>(ImageLengthOf(model)), 0);
  // A recognisable memory: byte i holds (i * 7 + 3) mod 256, so every nibble
  // value occurs and neighbours differ.
  for (std::size_t i = 0; i < config.memory.size(); ++i) {
    config.memory[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }
  return EmulatedInstrument(config);
}

// ---- nibble dialect (K5, K6) ----

TEST(NibbleDialectTest, IdentifyAnswersTheModelCodeNibbleCoded) {
  auto k5 = Make(InstrumentModel::K5);
  EXPECT_EQ(Send(k5, {0xF3, 0x3F}), (Bytes{0x03, 0x01}));
  auto k6 = Make(InstrumentModel::K6);
  EXPECT_EQ(Send(k6, {0xF3, 0x3F}), (Bytes{0x03, 0x02}));
}

TEST(NibbleDialectTest, HighBitsOfWireBytesCarryNoValue) {
  auto k5 = Make(InstrumentModel::K5);
  k5.State().nibble_high_bits = 0x30;
  const Bytes reply = Send(k5, {0xF3, 0x3F});
  EXPECT_EQ(reply, (Bytes{0x33, 0x31}));
  EXPECT_EQ(NibbleValue(reply[0], reply[1]), 0x31);
  EXPECT_EQ(NibbleValue(0xF6, 0xA5), 0x65);
}

TEST(NibbleDialectTest, K5MemoryDumpIs16383WireBytesOfTheMemory) {
  auto k5 = Make(InstrumentModel::K5);
  k5.State().nibble_high_bits = 0x50;
  const Bytes reply = Send(k5, {0x04, 0x0D});
  ASSERT_EQ(reply.size(), 16383u);
  const auto& memory = k5.State().memory;
  for (std::size_t j = 0; j < 8191; ++j) {
    ASSERT_EQ(NibbleValue(reply[2 * j], reply[2 * j + 1]), memory[j]) << j;
  }
  // The last wire byte is the high nibble of the last memory byte.
  EXPECT_EQ(reply[16382], 0x50 | (memory[8191] >> 4));
  for (std::uint8_t byte : reply) ASSERT_EQ(byte & 0xF0, 0x50);
}

TEST(NibbleDialectTest, K6MemoryDumpIs65535WireBytes) {
  auto k6 = Make(InstrumentModel::K6);
  const Bytes reply = Send(k6, {0x04, 0x0D});
  ASSERT_EQ(reply.size(), 65535u);
  EXPECT_EQ(NibbleValue(reply[2 * 32766], reply[2 * 32766 + 1]), k6.State().memory[32766]);
  EXPECT_EQ(reply[65534], k6.State().memory[32767] >> 4);
}

TEST(NibbleDialectTest, ParameterBlockIsNineBytesNibbleCoded) {
  auto k5 = Make(InstrumentModel::K5);
  k5.State().parameter_block = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x0F, 0xEE};
  EXPECT_EQ(Send(k5, {0x03, 0x00}),
            (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 0xA, 0xB, 0xC, 0xD, 0xE, 0xF, 0, 0, 0xF}));
}

TEST(NibbleDialectTest, MemoryWritesReachHeaderBytesOneToSixOnly) {
  auto k5 = Make(InstrumentModel::K5);
  // Trigger level 33 and flash on, as the level dialog sends them.
  EXPECT_TRUE(Send(k5, {0x05, 0x07, 0, 0, 0, 4, 0x02, 0x01}).empty());
  EXPECT_TRUE(Send(k5, {0x05, 0x07, 0, 0, 0, 5, 0x00, 0x02}).empty());
  EXPECT_EQ(k5.State().TriggerLevel(), 0x21);
  EXPECT_EQ(k5.State().FlashOption(), 0x02);
  // Only the low nibble of each payload byte counts.
  Send(k5, {0x05, 0x07, 0x30, 0x30, 0x30, 0x36, 0x3A, 0x3B});
  EXPECT_EQ(k5.State().memory[6], 0xAB);
  // Address 7 (the calibration factor) is not writable.
  const std::uint8_t before = k5.State().memory[7];
  Send(k5, {0x05, 0x07, 0, 0, 0, 7, 0x0F, 0x0F});
  EXPECT_EQ(k5.State().memory[7], before);
}

TEST(NibbleDialectTest, ClockRegistersTakeTheFramesOfTheClockCommand) {
  auto k6 = Make(InstrumentModel::K6);
  // Tuesday 5 March 2024, 14:07:09.
  const Bytes frames[] = {{0, 2, 0, 9}, {0, 3, 0, 7}, {0, 4, 1, 4}, {0, 5, 0, 5},
                          {0, 6, 0, 3}, {0, 7, 0, 3}, {0, 8, 2, 4}};
  for (const Bytes& frame : frames) {
    Bytes command = {0x04, 0x03};
    command.insert(command.end(), frame.begin(), frame.end());
    EXPECT_TRUE(Send(k6, command).empty());
  }
  const auto& r = k6.State().clock_registers;
  EXPECT_EQ(Bytes(r.begin() + 2, r.end()), (Bytes{0x09, 0x07, 0x14, 0x05, 0x03, 0x03, 0x24}));
}

TEST(NibbleDialectTest, EraseResetsTheHeaderThenAcknowledgesWithNibbleCodedE) {
  auto k5 = Make(InstrumentModel::K5);
  const DialectReply none = k5.Receive(0x04);
  EXPECT_TRUE(none.bytes.empty());
  const DialectReply reply = k5.Receive(0x05);
  EXPECT_EQ(reply.bytes, (Bytes{0x06, 0x05}));
  EXPECT_EQ(reply.delay_ns, 1000LL * 1000000);
  const auto& memory = k5.State().memory;
  EXPECT_EQ(memory[2], 0x20);
  EXPECT_EQ(memory[3], 0x00);
  EXPECT_EQ(memory[6], 0x00);
  for (int i = 24; i < 240; ++i) ASSERT_EQ(memory[i], 0xFF) << i;
  EXPECT_NE(memory[240], 0xFF);  // samples are left alone

  auto k6 = Make(InstrumentModel::K6);
  Send(k6, {0x04, 0x05});
  EXPECT_EQ(k6.State().WritePointer(), 0x8000u);
}

TEST(NibbleDialectTest, UnknownAndOtherDialectsBytesAreIgnored) {
  auto k5 = Make(InstrumentModel::K5);
  const Bytes memory_before = k5.State().memory;
  EXPECT_TRUE(Send(k5, {0x4D, 0x30, 0x50, 0xA3, 0x4D, 0x0A, 0x57, 0x00, 0x04, 0x21, 0x45}).empty());
  EXPECT_EQ(k5.State().memory, memory_before);
  // A broken-off command does not swallow the next one.
  EXPECT_EQ(Send(k5, {0xF3, 0xF3, 0x3F}), (Bytes{0x03, 0x01}));
  EXPECT_EQ(Send(k5, {0x04, 0xF3, 0x3F}), (Bytes{0x03, 0x01}));
}

// ---- letter dialect (K7) ----

TEST(LetterDialectTest, IdentifyIsTheNibbleOne) {
  auto k7 = Make(InstrumentModel::K7);
  EXPECT_EQ(Send(k7, {0xF3, 0x3F}), (Bytes{0x03, 0x03}));
}

TEST(LetterDialectTest, MemoryIs131071PlainBytes) {
  auto k7 = Make(InstrumentModel::K7);
  const Bytes reply = Send(k7, {'M'});
  const auto& memory = k7.State().memory;
  EXPECT_EQ(reply, Bytes(memory.begin(), memory.begin() + 131071));
}

TEST(LetterDialectTest, ParameterBlockIsNineBytesAndCoefficientsFollowAnEcho) {
  auto k7 = Make(InstrumentModel::K7);
  k7.State().parameter_block = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(Send(k7, {'0'}), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  // 'P' echoed, then the coefficients from the memory the instrument was made with (bytes 9-16).
  const auto& memory = k7.State().memory;
  Bytes expected{'P'};
  expected.insert(expected.end(), memory.begin() + 9, memory.begin() + 17);
  EXPECT_EQ(Send(k7, {'P'}), expected);
}

TEST(LetterDialectTest, MemoryWriteClockAndErase) {
  auto k7 = Make(InstrumentModel::K7);
  EXPECT_TRUE(Send(k7, {'W', 0x00, 0x04, 0x21, 'W', 0x00, 0x05, 0x00}).empty());
  EXPECT_EQ(k7.State().TriggerLevel(), 0x21);
  EXPECT_EQ(k7.State().FlashOption(), 0x00);
  EXPECT_TRUE(Send(k7, {'C', 0x02, 0x09, 'C', 0x08, 0x24}).empty());
  EXPECT_EQ(k7.State().clock_registers[2], 0x09);
  EXPECT_EQ(k7.State().clock_registers[8], 0x24);
  // A data byte that looks like a command is still data.
  Send(k7, {'W', 0x00, 0x06, 'M'});
  EXPECT_EQ(k7.State().memory[6], 'M');

  EXPECT_EQ(Send(k7, {'E'}), (Bytes{'e'}));
  EXPECT_EQ(k7.State().WritePointer(), 0x020000u);
  EXPECT_EQ(k7.State().memory[6], 0);
  EXPECT_EQ(k7.State().memory[24], 0xFF);
}

TEST(LetterDialectTest, NibbleAndFramedCommandsGetNoAnswer) {
  auto k7 = Make(InstrumentModel::K7);
  EXPECT_TRUE(Send(k7, {0x04, 0x0D, 0x03, 0x00, 0x04, 0x05}).empty());
  EXPECT_TRUE(Send(k7, {0xA3, 0x52, 0x0A}).empty());
  EXPECT_NE(k7.State().memory[24], 0xFF);
}

// ---- framed dialect (K8) ----

TEST(FramedDialectTest, MemoryIs131072PlainBytes) {
  auto k8 = Make(InstrumentModel::K8);
  EXPECT_EQ(Send(k8, {0xA3, 0x4D, 0x0A}), k8.State().memory);
}

TEST(FramedDialectTest, CoefficientsAreEightBytes) {
  auto k8 = Make(InstrumentModel::K8);
  k8.State().pressure_coefficients = {0x3E, 0xCE, 0xB3, 0xF9, 0xC5, 0x17, 0x33, 0xC8};
  EXPECT_EQ(Send(k8, {0xA3, 0x50, 0x0A}), (Bytes{0x3E, 0xCE, 0xB3, 0xF9, 0xC5, 0x17, 0x33, 0xC8}));
}

TEST(FramedDialectTest, ClockFrameSetsRegistersTwoToEight) {
  auto k8 = Make(InstrumentModel::K8);
  EXPECT_TRUE(Send(k8, {0xA3, 0x53, 0x54, 0x09, 0x07, 0x14, 0x05, 0x01, 0x03, 0x24, 0x0A}).empty());
  const auto& r = k8.State().clock_registers;
  EXPECT_EQ(Bytes(r.begin() + 2, r.end()), (Bytes{0x09, 0x07, 0x14, 0x05, 0x01, 0x03, 0x24}));
}

TEST(FramedDialectTest, EraseFrameResetsAndAnswersTwoBytes) {
  auto k8 = Make(InstrumentModel::K8);
  EXPECT_EQ(Send(k8, {0xA3, 0x52, 0x0A}), (Bytes{'e', 0x0A}));
  EXPECT_EQ(k8.State().WritePointer(), 0x020000u);
  EXPECT_EQ(k8.State().memory[6], 0);
  EXPECT_EQ(k8.State().memory[239], 0xFF);
}

TEST(FramedDialectTest, IdentifyAndMalformedFramesGoUnanswered) {
  auto k8 = Make(InstrumentModel::K8);
  EXPECT_TRUE(Send(k8, {0xF3, 0x3F}).empty());
  EXPECT_TRUE(Send(k8, {0xA3, 0x4D, 0x0B}).empty());  // wrong end byte
  EXPECT_TRUE(Send(k8, {0xA3, 0x58, 0x0A}).empty());  // unknown letter
  EXPECT_TRUE(Send(k8, {0x4D, 0x0A, 0x50}).empty());  // no frame start
  EXPECT_TRUE(Send(k8, {0xA3, 0x53, 0x55, 0x0A}).empty());
  // A frame start inside a broken frame begins a new one.
  EXPECT_EQ(Send(k8, {0xA3, 0xA3, 0x50, 0x0A}).size(), 8u);
}

// ---- reply faults ----

TEST(ReplyFaultTest, EachPlannedFaultTakesTheNextReplyInTurn) {
  auto k5 = Make(InstrumentModel::K5);
  k5.AnswerShort(1);
  k5.AnswerNothing();
  k5.AnswerWrong({0x03, 0x03});
  EXPECT_EQ(Send(k5, {0xF3, 0x3F}), (Bytes{0x03}));
  EXPECT_EQ(Send(k5, {0xF3, 0x3F}), Bytes{});
  EXPECT_EQ(Send(k5, {0xF3, 0x3F}), (Bytes{0x03, 0x03}));
  EXPECT_EQ(Send(k5, {0xF3, 0x3F}), (Bytes{0x03, 0x01}));
  k5.SetSilent(true);
  EXPECT_EQ(Send(k5, {0xF3, 0x3F}), Bytes{});
  // Silent, it still acts on what it hears.
  Send(k5, {0x05, 0x07, 0, 0, 0, 4, 0, 9});
  EXPECT_EQ(k5.State().TriggerLevel(), 9);
}

}  // namespace
}  // namespace kestrum
