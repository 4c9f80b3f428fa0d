// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/nibble_dialect.h"

#include "link/nibble_coding.h"
#include "records/big_endian.h"

namespace kestrum {

int NibbleDumpLength(InstrumentModel model) {
  return 2 * ImageLengthOf(model) - 1;
}

namespace {

void AppendNibbles(std::vector<std::uint8_t>& out, std::uint8_t value, std::uint8_t high_bits) {
  out.push_back(HighNibbleWire(value, high_bits));
  out.push_back(LowNibbleWire(value, high_bits));
}

DialectReply MemoryDump(const InstrumentState& state) {
  DialectReply reply;
  const int length = NibbleDumpLength(state.model);
  reply.bytes.reserve(static_cast<std::size_t>(length));
  for (int i = 0; i < length; ++i) {
    const std::uint8_t value = state.memory[static_cast<std::size_t>(i / 2)];
    reply.bytes.push_back(i % 2 == 0 ? HighNibbleWire(value, state.nibble_high_bits)
                                     : LowNibbleWire(value, state.nibble_high_bits));
  }
  return reply;
}

DialectReply ParameterBlock(const InstrumentState& state) {
  DialectReply reply;
  for (int i = 0; i < 9; ++i) {
    AppendNibbles(reply.bytes, state.parameter_block[static_cast<std::size_t>(i)],
                  state.nibble_high_bits);
  }
  return reply;
}

DialectReply WithKind(DialectReply reply, ReplyKind kind) {
  reply.kind = kind;
  return reply;
}

}  // namespace

DialectReply IdentifyReply(const InstrumentState& state) {
  DialectReply reply;
  AppendNibbles(reply.bytes, state.ModelCode(), state.nibble_high_bits);
  reply.kind = ReplyKind::kIdentify;
  return reply;
}

void NibbleDialect::Reset() {
  expect_ = Expect::kCommand;
  payload_.clear();
}

DialectReply NibbleDialect::Start(std::uint8_t byte) {
  switch (byte) {
    case kIdentifyQuery[0]:
      expect_ = Expect::kAfterF3;
      break;
    case 0x04:
      expect_ = Expect::kAfter04;
      break;
    case 0x03:
      expect_ = Expect::kAfter03;
      break;
    case 0x05:
      expect_ = Expect::kAfter05;
      break;
    default:
      expect_ = Expect::kCommand;
      break;
  }
  return {};
}

DialectReply NibbleDialect::Complete(InstrumentState& state) {
  if (expect_ == Expect::kMemoryWrite) {
    const std::uint8_t address[2] = {NibbleValue(payload_[0], payload_[1]),
                                     NibbleValue(payload_[2], payload_[3])};
    state.WriteMemory(BigEndian16(address, 0), NibbleValue(payload_[4], payload_[5]));
  } else {
    state.SetClockRegister(NibbleValue(payload_[0], payload_[1]),
                           NibbleValue(payload_[2], payload_[3]));
  }
  Reset();
  return {};
}

DialectReply NibbleDialect::Feed(std::uint8_t byte, InstrumentState& state) {
  switch (expect_) {
    case Expect::kCommand:
      return Start(byte);
    case Expect::kAfterF3:
      if (byte != kIdentifyQuery[1]) return Start(byte);
      Reset();
      return IdentifyReply(state);
    case Expect::kAfter04:
      if (byte == 0x0D) {
        Reset();
        return WithKind(MemoryDump(state), ReplyKind::kMemory);
      }
      if (byte == 0x03) {
        expect_ = Expect::kClock;
        return {};
      }
      if (byte == 0x05) {
        Reset();
        state.Erase();
        DialectReply reply;
        AppendNibbles(reply.bytes, 'e', state.nibble_high_bits);
        reply.kind = ReplyKind::kEraseAcknowledgement;
        reply.delay_ns = static_cast<std::int64_t>(state.erase_duration_ms) * 1000000;
        return reply;
      }
      return Start(byte);
    case Expect::kAfter03:
      if (byte != 0x00) return Start(byte);
      Reset();
      return WithKind(ParameterBlock(state), ReplyKind::kParameters);
    case Expect::kAfter05:
      if (byte != 0x07) return Start(byte);
      expect_ = Expect::kMemoryWrite;
      return {};
    case Expect::kMemoryWrite:
      payload_.push_back(byte);
      return payload_.size() == 6 ? Complete(state) : DialectReply{};
    case Expect::kClock:
      payload_.push_back(byte);
      return payload_.size() == 4 ? Complete(state) : DialectReply{};
  }
  return {};
}

}  // namespace kestrum
