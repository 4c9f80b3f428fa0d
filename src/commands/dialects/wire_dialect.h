// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PC side of one wire dialect: the byte sequences and waits of every
// command for the models that speak it. The command cycle chooses the dialect
// once (command_cycle.h); the command files keep only the cycle around it:
// confirm, open, window effects, outcome, close.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "commands/clock_fields.h"
#include "commands/command_window.h"
#include "commands/parameter_block.h"
#include "records/decoder_inputs.h"
#include "records/instrument_model.h"
#include "records/measurement_store.h"

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
  std::optional<PressureCoefficients> coefficients;
};

// The download's exchanges. Each returns false when the transfer has to end
// (a command not sent whole, a reply short or not plausible); the download
// keeps the reason.
class TransferLine {
 public:
  virtual ~TransferLine() = default;
  virtual bool Send(std::initializer_list<std::uint8_t> bytes) = 0;
  // The one long read of the memory image, shown with its progress.
  virtual bool ReadMemory(std::uint32_t count) = 0;
  virtual bool ReadInFull(std::uint32_t count) = 0;
  // "Transfering measurements" in the status bar, painted at once.
  virtual void ShowTransferring() = 0;
  // A reply came whole but holds what no instrument sends (reply_plausibility.h);
  // `reply` names it for the user ("coefficient"). Always false.
  virtual bool Implausible(const char* reply) = 0;
};

// A copy of what was received that the download leaves beside the program.
struct DownloadCopy {
  // kWordTable: the text of WordTableText (download_files.h); `bytes` unused.
  enum class Source { kParameters, kImage, kWordTable };
  const char* name;
  Source source;
  std::size_t bytes;
};

class WireDialect {
 public:
  virtual ~WireDialect() = default;

  virtual InstrumentModel Model() const = 0;

  // The memory, parameter and coefficient replies into `received`.
  virtual bool TransferMemory(TransferLine& line, ReceivedMemory& received) const = 0;
  // The copies written after the store took the download, in this order.
  virtual std::vector<DownloadCopy> Copies() const = 0;
  // Whether the instrument has a trigger level for the Level button.
  virtual bool HasTriggerLevel() const { return true; }

  // The clock registers; false when a write did not go out whole.
  virtual bool SendClock(const ClockFields& fields) const = 0;
  // Whether "Clock updated" is shown afterwards.
  virtual bool ConfirmsClock() const { return true; }

  // Empties the memory; false when a write did not go out whole. The
  // instrument's acknowledgement, if it came, goes to `acknowledgement`.
  virtual bool Erase(CommandWindow& window, std::uint8_t& acknowledgement) const = 0;

  // One byte of the instrument's settings memory (trigger level, flash
  // option); false when a write did not go out whole.
  virtual bool WriteSettingsByte(std::uint8_t address, std::uint8_t value) const = 0;
};

}  // namespace kestrum
