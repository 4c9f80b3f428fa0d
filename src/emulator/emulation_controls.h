#pragma once
// What the program's Emulation menu does to the emulated instruments: pulls
// their plugs and puts them back, plans a fault for the next reply, and
// brings back the memory each had when emulation started (after an erase,
// for instance).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "emulator/emulated_bus.h"

namespace kestrum {

enum class NextReplyFault {
  kSilence,  // no reply at all
  kShort,    // only the reply's first byte
  kGarbage,  // a few bytes that are no reply
};

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

  void PlanNextReply(EmulatedInstrument& instrument, NextReplyFault fault);
  // The plug comes out once this many more bytes went to the PC.
  void PlanUnplugAfter(EmulatedInstrument& instrument, std::uint64_t bytes);
  void ResetMemory(EmulatedInstrument& instrument);

 private:
  EmulatedBus& bus_;
  std::vector<std::shared_ptr<EmulatedInstrument>> instruments_;
  std::vector<std::vector<std::uint8_t>> startMemory_;
};

}  // namespace kestrum
