// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/framed_dialect.h"

namespace kestrum {

void FramedDialect::Reset() {
  expect_ = Expect::kStart;
  letter_ = 0;
  payload_.clear();
}

DialectReply FramedDialect::Execute(InstrumentState& state) {
  DialectReply reply;
  switch (letter_) {
    case 'M':
      reply.bytes.assign(state.memory.begin(), state.memory.begin() + kFramedDumpLength);
      reply.kind = ReplyKind::kMemory;
      break;
    case 'P':
      reply.bytes.assign(state.pressure_coefficients.begin(), state.pressure_coefficients.end());
      reply.kind = ReplyKind::kCoefficients;
      break;
    case 'R':
      state.Erase();
      reply.bytes = {'e', 0x0A};
      reply.kind = ReplyKind::kEraseAcknowledgement;
      reply.delay_ns = static_cast<std::int64_t>(state.erase_duration_ms) * 1000000;
      break;
    case 'S':
      // Seconds, minutes, hours, day, weekday, month, year: registers 2-8.
      for (std::size_t i = 0; i < payload_.size(); ++i) {
        state.SetClockRegister(static_cast<std::uint8_t>(2 + i), payload_[i]);
      }
      break;
    default:
      break;
  }
  Reset();
  return reply;
}

DialectReply FramedDialect::Feed(std::uint8_t byte, InstrumentState& state) {
  switch (expect_) {
    case Expect::kStart:
      if (byte == 0xA3) expect_ = Expect::kLetter;
      return {};
    case Expect::kLetter:
      if (byte == 'M' || byte == 'P' || byte == 'R') {
        letter_ = byte;
        expect_ = Expect::kEnd;
      } else if (byte == 'S') {
        letter_ = byte;
        expect_ = Expect::kT;
      } else {
        Reset();
        return Feed(byte, state);
      }
      return {};
    case Expect::kT:
      if (byte != 'T') {
        Reset();
        return Feed(byte, state);
      }
      expect_ = Expect::kClockPayload;
      return {};
    case Expect::kClockPayload:
      payload_.push_back(byte);
      if (payload_.size() == 7) expect_ = Expect::kEnd;
      return {};
    case Expect::kEnd:
      if (byte != 0x0A) {
        Reset();
        return Feed(byte, state);
      }
      return Execute(state);
  }
  return {};
}

}  // namespace kestrum
