// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program's Emulation menu does to the emulated instruments: pulls
// their plugs and puts them back, plans a fault for the next reply, and
// brings back the memory each had when emulation started (after an erase,
// for instance).

#include <memory>
#include <string>
#include <vector>

#include "emulator/emulated_bus.h"
#include "emulator/fault_option.h"

namespace kestrum {

class EmulationControls {
 public:
  // Takes the instruments plugged into `bus` now, with a copy of their memory.
  explicit EmulationControls(EmulatedBus& bus);

  // In the listing order they had at the start.
  const std::vector<std::shared_ptr<EmulatedInstrument>>& Instruments() const {
    return instruments_;
  }
  bool IsPlugged(const EmulatedInstrument& instrument) const;
  // Plugged in again, an instrument comes last in the listing order.
  void SetPlugged(const std::shared_ptr<EmulatedInstrument>& instrument, bool plugged);

  // The instrument with this serial number, else the first one.
  std::shared_ptr<EmulatedInstrument> Named(const std::string& serial) const;

  // As --fault plans it.
  void Plan(EmulatedInstrument& instrument, const FaultOption& fault);
  void ResetMemory(EmulatedInstrument& instrument);

 private:
  EmulatedBus& bus_;
  std::vector<std::shared_ptr<EmulatedInstrument>> instruments_;
  std::vector<std::vector<std::uint8_t>> startMemory_;
};

}  // namespace kestrum
