// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The --fault option of kestrum and kestrum-tool: planned misbehaviour of the
// first emulated instrument, so that broken transfers can be tried from the
// shell. The reply kinds take the instrument's successive replies in turn:
//   pass            this reply as usual
//   silent          no reply
//   short=N         only the first N bytes of the reply
//   garbage=HEX     these bytes instead of the reply, e.g. garbage=00FF
//   unplug-after=N  unplugged once it has sent N bytes (0: from the start);
//                   takes no reply of its own
// silent, short and garbage may name the reply they spoil, which then waits
// for it while other replies pass: silent@memory, short=100@parameters,
// garbage=00@coefficients (identify, memory, parameters, coefficients, erase).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "emulator/emulated_bus.h"
#include "records/result.h"

namespace kestrum {

inline constexpr char kFaultOptionDescription[] =
    "a fault of the first emulated instrument (repeatable): pass, silent, short=N, "
    "garbage=HEX or unplug-after=N; silent, short and garbage may end in @REPLY "
    "(identify, memory, parameters, coefficients, erase) to spoil that reply";

struct FaultOption {
  enum class Kind { kPass, kSilent, kShort, kGarbage, kUnplugAfter };
  Kind kind = Kind::kPass;
  std::uint64_t count = 0;             // kShort: bytes kept; kUnplugAfter: bytes sent
  std::vector<std::uint8_t> bytes;     // kGarbage
  ReplyKind target = ReplyKind::kAny;  // kSilent, kShort, kGarbage: the reply they spoil
};

// "memory" for ReplyKind::kMemory ...; the words of @REPLY.
const char* ReplyKindWord(ReplyKind kind);

// Fails with a message when the text names no fault.
Result<FaultOption> ParseFaultOption(const std::string& text);

// Plans one fault on `instrument`, which is plugged into `bus`.
void ApplyFaultOption(const FaultOption& fault, EmulatedInstrument& instrument, EmulatedBus& bus);

// Plans the faults on the first instrument of the bus, in order.
void ApplyFaultOptions(const std::vector<FaultOption>& faults, EmulatedBus& bus);

}  // namespace kestrum
