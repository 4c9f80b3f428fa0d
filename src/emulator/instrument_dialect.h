// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instrument's side of one wire dialect: fed the bytes the PC sends, one
// at a time, it acts on complete commands and says what to send back.
// Bytes that start no known command are ignored.

#include <cstdint>
#include <memory>
#include <vector>

#include "emulator/instrument_state.h"
#include "emulator/reply_fault.h"

namespace kestrum {

struct DialectReply {
  std::vector<std::uint8_t> bytes;
  std::int64_t delay_ns = 0;         // time the instrument needs before answering
  ReplyKind kind = ReplyKind::kAny;  // which reply this is, for aimed faults
};

class InstrumentDialect {
 public:
  virtual ~InstrumentDialect() = default;
  virtual DialectReply Feed(std::uint8_t byte, InstrumentState& state) = 0;
  // Forgets a half-received command (power lost).
  virtual void Reset() = 0;
};

// The dialect each model speaks: nibble (K5, K6), letter (K7), framed (K8).
std::unique_ptr<InstrumentDialect> MakeDialectFor(InstrumentModel model);

// The identify answer of the K5-K7: the model code, nibble-coded.
DialectReply IdentifyReply(const InstrumentState& state);

}  // namespace kestrum
