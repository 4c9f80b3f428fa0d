// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One emulated instrument with its USB converter: the description and serial
// number the converter reports, the rate the instrument talks at, its state
// and dialect, and the faults planned for it.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/instrument_dialect.h"
#include "emulator/instrument_state.h"
#include "emulator/reply_fault.h"

namespace kestrum {

struct EmulatedInstrumentConfig {
  InstrumentModel model = InstrumentModel::K8;
  std::string description = "USB <-> K8";
  std::string serial = "EMUK8001";
  // ImageLengthOf(model) bytes; empty keeps a freshly erased memory.
  std::vector<std::uint8_t> memory;
};

class EmulatedInstrument {
 public:
  explicit EmulatedInstrument(EmulatedInstrumentConfig config);

  InstrumentModel Model() const { return state_.model; }
  const std::string& Description() const { return description_; }
  const std::string& Serial() const { return serial_; }
  InstrumentState& State() { return state_; }
  const InstrumentState& State() const { return state_; }

  // The instrument understands the line only at this rate: 230,400 baud for
  // the K8, the converter's power-on 9,600 for the others. Bytes sent at any
  // other rate arrive garbled and are ignored.
  std::uint32_t LineBaud() const { return line_baud_; }
  void SetLineBaud(std::uint32_t baud) { line_baud_ = baud; }

  // Faults, each for the next reply in turn.
  // Each plans the next reply, or with a target the next reply of that kind.
  void AnswerAsUsual();
  void AnswerShort(std::size_t keep_bytes, ReplyKind target = ReplyKind::kAny);
  void AnswerNothing(ReplyKind target = ReplyKind::kAny);
  void AnswerWrong(std::vector<std::uint8_t> bytes, ReplyKind target = ReplyKind::kAny);
  // Answers nothing at all until switched back (powered off, wrong cable).
  void SetSilent(bool silent) { silent_ = silent; }
  // Pulls the plug once this many more bytes have been sent to the PC.
  void UnplugAfterSending(std::uint64_t bytes) { unplug_after_sending_ = bytes; }
  std::optional<std::uint64_t> BytesUntilUnplug() const { return unplug_after_sending_; }
  void ClearUnplugAfterSending() { unplug_after_sending_.reset(); }

  // One byte from the line; returns what the instrument sends back, with
  // the planned faults applied.
  DialectReply Receive(std::uint8_t byte);
  // Power lost: a half-received command is forgotten.
  void PowerCycle();

 private:
  InstrumentState state_;
  std::string description_;
  std::string serial_;
  std::unique_ptr<InstrumentDialect> dialect_;
  std::uint32_t line_baud_;
  std::deque<ReplyFault> faults_;
  bool silent_ = false;
  std::optional<std::uint64_t> unplug_after_sending_;
};

}  // namespace kestrum
