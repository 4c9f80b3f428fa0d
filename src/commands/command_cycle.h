// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one cycle every instrument command follows (WithInstrument): open by
// the detected serial number, go on only when the open worked and detection
// says an instrument is attached, choose the wire dialect (the K8 by its
// converter's description, the K5-K7 by the identify exchange), run the
// command's own steps with it, and close on every path.
//
//   command ──WithInstrument──> open ─> choose dialect ─> body(dialect, port) ─> close
//      │                                                     │
//      └── its window (CommandWindow): texts, questions,     └── InstrumentPort: bytes,
//          progress, waits, cancel                               replies, waits

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>

#include "commands/command_window.h"
#include "commands/instrument_port.h"
#include "records/result.h"

namespace kestrum {

class WireDialect;

// Identify answers of the K5-K7.
inline constexpr std::uint8_t kModelCodeK5 = 0x31;
inline constexpr std::uint8_t kModelCodeK6 = 0x32;
inline constexpr std::uint8_t kModelCodeK7 = 0x33;
// No complete identify answer came.
inline constexpr std::uint8_t kNoModelCode = 0x00;

// The K8 is told apart by its converter's description alone.
bool SelectedInstrumentIsK8();

// Opens SelectedInstrument.SerialNo; succeeds when the open returned 0 and
// InstrumentAttached is set, and a line still busy from a broken-off
// transfer has gone quiet (listened to at the K8's rate for a K8).
Result<> OpenSelectedInstrument(InstrumentPort& port);

inline constexpr std::uint32_t kIdentifyReply = 2;

// F3 3F, 25 ms, a 2-byte answer; its nibble value is the model code. An
// answer that does not arrive in full fails (the port's Shortfall says how
// much came) rather than give whatever an earlier reply left in the buffer.
Result<std::uint8_t> IdentifyExchange(InstrumentPort& port);

// The dialect the selected instrument speaks, chosen once per command.
struct DialectChoice {
  // Null when the identify answer named no K5-K7 or did not come in full.
  const WireDialect* dialect = nullptr;
  // The K5-K7 identify answer; kNoModelCode for a K8.
  std::uint8_t modelCode = kNoModelCode;
  // An identify answer that did not come in full.
  std::optional<PortFailure> identifyFailure;
};

// What a command does around the choice of its dialect.
struct CycleSteps {
  // The trigger level is only the K5-K7's: asked by the identify exchange
  // alone, which a K8 does not answer.
  bool identifyOnly = false;
  // Runs just before the identify exchange; false stops the command.
  std::function<bool(InstrumentPort&)> beforeIdentify;
  int waitAfterIdentifyMs = 0;
};

// How far the cycle got; the command's own steps ran only with kRan.
enum class CycleEnd { kNotOpened, kStopped, kUnknownModel, kRan };

struct CycleResult {
  CycleEnd end = CycleEnd::kNotOpened;
  std::string openFailure;  // kNotOpened: why, as the open said it
  DialectChoice choice;
};

using CommandBody = std::function<void(const WireDialect& dialect, InstrumentPort& port)>;

// Opens, chooses, runs `body` when a dialect was chosen, and always closes.
CycleResult WithInstrument(CommandWindow& events, const CycleSteps& steps, const CommandBody& body);

// The ends every command shares, said once: each command's end enum names
// kNotOpened and kUnknownModel alike, and its outcome keeps the model code
// and why an open failed.
template <typename Outcome>
void TakeSharedEnd(const CycleResult& cycle, Outcome& outcome) {
  using End = std::remove_reference_t<decltype(outcome.end)>;
  outcome.modelCode = cycle.choice.modelCode;
  if (cycle.end == CycleEnd::kNotOpened) {
    outcome.end = End::kNotOpened;
    outcome.openFailure = cycle.openFailure;
  } else if (cycle.end == CycleEnd::kUnknownModel) {
    outcome.end = End::kUnknownModel;
  }
}

}  // namespace kestrum
