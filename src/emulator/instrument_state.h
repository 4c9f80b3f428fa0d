// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an emulated instrument remembers: its memory (header, run directory,
// samples), its real-time clock registers, its parameter block and pressure
// coefficients. The trigger level and flash option live in memory bytes 4
// and 5, where the memory-write command puts them.

#include <array>
#include <cstdint>
#include <vector>

#include "records/instrument_model.h"

namespace kestrum {

struct InstrumentState {
  explicit InstrumentState(InstrumentModel model);

  InstrumentModel model;
  std::vector<std::uint8_t> memory;  // ImageLengthOf(model) bytes
  // Packed BCD: 2 seconds, 3 minutes, 4 hours, 5 day, 6 weekday, 7 month,
  // 8 year; 0 and 1 unused.
  std::array<std::uint8_t, 9> clock_registers{};
  // The K5-K7 parameter block (nine bytes go over the wire).
  std::array<std::uint8_t, 10> parameter_block{};
  // K7, K8: the four pressure-coefficient words, high byte first.
  std::array<std::uint8_t, 8> pressure_coefficients{};
  // High four bits of every nibble-coded wire byte this instrument sends.
  std::uint8_t nibble_high_bits = 0x00;
  // How long an erase keeps the instrument busy before it acknowledges.
  int erase_duration_ms = 1000;

  std::uint8_t TriggerLevel() const { return memory[4]; }
  std::uint8_t FlashOption() const { return memory[5]; }
  // K5-K7 identify answer: '1' .. '3'.
  std::uint8_t ModelCode() const { return ModelMarkerOf(model); }

  // Only the header locations 1 to 6 are writable from the PC.
  void WriteMemory(std::uint32_t address, std::uint8_t value);
  void SetClockRegister(std::uint8_t reg, std::uint8_t value);
  // Empties the run directory and puts the write pointer back to the top of
  // memory, with the directory byte 0.
  void Erase();
  std::uint32_t WritePointer() const;
};

}  // namespace kestrum
