// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/letter_dialect.h"

#include <algorithm>

#include "link/nibble_coding.h"
#include "records/big_endian.h"

namespace kestrum {

void LetterDialect::Reset() {
  expect_ = Expect::kCommand;
  payload_.clear();
}

DialectReply LetterDialect::Start(std::uint8_t byte, InstrumentState& state) {
  Reset();
  DialectReply reply;
  switch (byte) {
    case kIdentifyQuery[0]:
      expect_ = Expect::kAfterF3;
      break;
    case 'M':
      reply.bytes.assign(state.memory.begin(), state.memory.begin() + kLetterDumpLength);
      reply.kind = ReplyKind::kMemory;
      break;
    case '0':
      reply.bytes.assign(state.parameter_block.begin(), state.parameter_block.begin() + 9);
      reply.kind = ReplyKind::kParameters;
      break;
    case 'P':
      // The coefficients follow an echo of the command letter; the program
      // reads only 8 of these 9 bytes and takes the coefficients from index 1.
      reply.bytes.push_back('P');
      reply.kind = ReplyKind::kCoefficients;
      reply.bytes.insert(reply.bytes.end(), state.pressure_coefficients.begin(),
                         state.pressure_coefficients.end());
      break;
    case 'W':
      expect_ = Expect::kMemoryWrite;
      break;
    case 'C':
      expect_ = Expect::kClock;
      break;
    case 'E':
      state.Erase();
      reply.bytes.push_back('e');
      reply.kind = ReplyKind::kEraseAcknowledgement;
      reply.delay_ns = static_cast<std::int64_t>(state.erase_duration_ms) * 1000000;
      break;
    default:
      break;
  }
  return reply;
}

DialectReply LetterDialect::Feed(std::uint8_t byte, InstrumentState& state) {
  switch (expect_) {
    case Expect::kCommand:
      return Start(byte, state);
    case Expect::kAfterF3:
      if (byte != kIdentifyQuery[1]) return Start(byte, state);
      Reset();
      return IdentifyReply(state);
    case Expect::kMemoryWrite:
      payload_.push_back(byte);
      if (payload_.size() == 3) {
        state.WriteMemory(BigEndian16(payload_.data(), 0), payload_[2]);
        Reset();
      }
      return {};
    case Expect::kClock:
      payload_.push_back(byte);
      if (payload_.size() == 2) {
        state.SetClockRegister(payload_[0], payload_[1]);
        Reset();
      }
      return {};
  }
  return {};
}

}  // namespace kestrum
