// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/instrument_state.h"

#include <algorithm>

#include "records/memory_layout.h"

namespace kestrum {

InstrumentState::InstrumentState(InstrumentModel m)
    : model(m), memory(static_cast<std::size_t>(ImageLengthOf(m)), 0xFF) {
  memory[0] = ModelMarkerOf(m);
  // A fresh instrument: empty directory, pointer at the top, factor 6.00.
  Erase();
  memory[kCalibrationByte] = 6;
  memory[kCalibrationByte + 1] = 0;
  // 1 January 2024, 00:00:00, a Monday.
  clock_registers = {0, 0, 0x00, 0x00, 0x00, 0x01, 0x02, 0x01, 0x24};
  for (std::size_t i = 0; i < parameter_block.size(); ++i) {
    parameter_block[i] = static_cast<std::uint8_t>(0x10 + i);
  }
  // MPL115A words A0 2009.75, B1 -2.3759, B2 -0.9205, C12 0.00079.
  pressure_coefficients = {0x3E, 0xCE, 0xB3, 0xF9, 0xC5, 0x17, 0x33, 0xC8};
}

void InstrumentState::WriteMemory(std::uint32_t address, std::uint8_t value) {
  if (address >= 1 && address <= 6) memory[address] = value;
}

void InstrumentState::SetClockRegister(std::uint8_t reg, std::uint8_t value) {
  if (reg >= 2 && reg <= 8) clock_registers[reg] = value;
}

void InstrumentState::Erase() {
  std::fill_n(memory.begin() + DirectoryEntryOffset(1), kDirectorySlots * kDirectoryEntryBytes,
              0xFF);
  SetWritePointer(memory.data(), model, static_cast<std::uint32_t>(ImageLengthOf(model)));
  memory[kDirectoryPointerByte] = 0;
}

std::uint32_t InstrumentState::WritePointer() const {
  return WritePointerOf(memory.data(), model);
}

}  // namespace kestrum
