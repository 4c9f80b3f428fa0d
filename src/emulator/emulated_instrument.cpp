// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/emulated_instrument.h"

#include <algorithm>
#include <utility>

#include "records/memory_layout.h"
#include "records/model_facts.h"

namespace kestrum {

EmulatedInstrument::EmulatedInstrument(EmulatedInstrumentConfig config)
    : state_(config.model),
      description_(std::move(config.description)),
      serial_(std::move(config.serial)),
      dialect_(MakeDialectFor(config.model)),
      line_baud_(config.model == InstrumentModel::K8 ? 230400 : 9600) {
  if (!config.memory.empty()) {
    const std::size_t n = std::min(config.memory.size(), state_.memory.size());
    std::copy_n(config.memory.begin(), n, state_.memory.begin());
  }
  // A K7 or K8 image carries the pressure coefficients in bytes 9 to 16.
  if (!config.memory.empty() && HasPressureCoefficients(config.model)) {
    std::copy_n(state_.memory.begin() + kPressureCoefficientsByte,
                state_.pressure_coefficients.size(), state_.pressure_coefficients.begin());
  }
}

void EmulatedInstrument::AnswerAsUsual() {
  faults_.push_back({ReplyFault::Kind::kPass, ReplyKind::kAny, 0, {}});
}

void EmulatedInstrument::AnswerShort(std::size_t keep_bytes, ReplyKind target) {
  faults_.push_back({ReplyFault::Kind::kShort, target, keep_bytes, {}});
}

void EmulatedInstrument::AnswerNothing(ReplyKind target) {
  faults_.push_back({ReplyFault::Kind::kNothing, target, 0, {}});
}

void EmulatedInstrument::AnswerWrong(std::vector<std::uint8_t> bytes, ReplyKind target) {
  faults_.push_back({ReplyFault::Kind::kWrong, target, 0, std::move(bytes)});
}

DialectReply EmulatedInstrument::Receive(std::uint8_t byte) {
  DialectReply reply = dialect_->Feed(byte, state_);
  if (reply.bytes.empty()) return reply;
  if (silent_) {
    reply.bytes.clear();
    return reply;
  }
  // An aimed fault waits for its reply; the ones before it go out as usual.
  const bool aimedElsewhere = !faults_.empty() && faults_.front().target != ReplyKind::kAny &&
                              faults_.front().target != reply.kind;
  if (!faults_.empty() && !aimedElsewhere) {
    const ReplyFault fault = std::move(faults_.front());
    faults_.pop_front();
    switch (fault.kind) {
      case ReplyFault::Kind::kPass:
        break;
      case ReplyFault::Kind::kShort:
        if (fault.keep < reply.bytes.size()) reply.bytes.resize(fault.keep);
        break;
      case ReplyFault::Kind::kNothing:
        reply.bytes.clear();
        break;
      case ReplyFault::Kind::kWrong:
        reply.bytes = fault.bytes;
        break;
    }
  }
  return reply;
}

void EmulatedInstrument::PowerCycle() {
  dialect_->Reset();
}

}  // namespace kestrum
