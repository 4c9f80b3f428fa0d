// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PC side of one wire dialect: the byte sequences and waits of every
// command for the models that speak it, over the command's port. The command
// cycle chooses the dialect once (command_cycle.h); the command files keep
// only their own steps around it. What a model can do, and the copies its
// download leaves, are in its capability row (records/model_capabilities.h);
// an operation a dialect does not have answers "unsupported".

#include <array>
#include <cstdint>
#include <memory>

#include "commands/clock_fields.h"
#include "commands/instrument_port.h"
#include "commands/parameter_block.h"
#include "records/decoder_inputs.h"
#include "records/instrument_model.h"
#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

using MemoryImageBytes = std::array<std::uint8_t, kMemoryImageBytes>;

// What a download has received so far. It starts as a copy of the store, so
// bytes an instrument does not send keep their earlier values; the store only
// takes it once every reply has arrived.
struct ReceivedMemory {
  explicit ReceivedMemory(const MeasurementStore& store)
      : image(std::make_unique<MemoryImageBytes>(store.MemoryImage)), parameters(ParameterBlock) {}
  std::unique_ptr<MemoryImageBytes> image;
  std::array<std::uint8_t, kParameterBlockBytes> parameters;
};

// A row of writes that are all tried: its first failure, or success.
inline Result<> FirstFailure(const Result<>& soFar, const Result<>& next) {
  return soFar ? next : soFar;
}

inline constexpr char kUnsupportedText[] = "the instrument does not have this command";

class WireDialect {
 public:
  virtual ~WireDialect() = default;

  virtual InstrumentModel Model() const = 0;

  // The memory, parameter and coefficient replies into `received`. Fails when
  // a command did not go out whole or a reply came short (the failure's kind
  // says which), or a reply holds what no instrument sends
  // (reply_plausibility.h; FailureKind::kImplausible).
  virtual Result<> TransferMemory(InstrumentPort& port, ReceivedMemory& received) const = 0;

  // The clock registers; fails when a write did not go out whole.
  virtual Result<> SendClock(InstrumentPort& port, const ClockFields& fields) const = 0;

  // Empties the memory; fails when a write did not go out whole. Gives the
  // instrument's acknowledgement, or kNoAcknowledgement when none came.
  virtual Result<std::uint8_t> Erase(InstrumentPort& port) const = 0;

  // One byte of the instrument's settings memory (trigger level, flash option).
  virtual Result<> WriteSettingsByte(InstrumentPort& /*port*/, std::uint8_t /*address*/,
                                     std::uint8_t /*value*/) const {
    return Fail(kUnsupportedText);
  }
};

// One dialect object a model, each defined beside its class.
extern const WireDialect& kK5Dialect;
extern const WireDialect& kK6Dialect;
extern const WireDialect& kK7Dialect;
extern const WireDialect& kK8Dialect;
// The K5-K7 dialect an identify answer names; null for any other answer.
const WireDialect* DialectOfModelCode(std::uint8_t modelCode);

}  // namespace kestrum
