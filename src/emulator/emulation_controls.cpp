// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/emulation_controls.h"

#include <algorithm>

namespace kestrum {

EmulationControls::EmulationControls(EmulatedBus& bus) : bus_(bus) {
  for (const auto& instrument : bus.Instruments()) {
    instruments_.push_back(instrument);
    startMemory_.push_back(instrument->State().memory);
  }
}

bool EmulationControls::IsPlugged(const EmulatedInstrument& instrument) const {
  return bus_.IsPlugged(instrument.Serial());
}

void EmulationControls::SetPlugged(const std::shared_ptr<EmulatedInstrument>& instrument,
                                   bool plugged) {
  if (plugged) {
    bus_.Plug(instrument);
  } else {
    bus_.Unplug(instrument->Serial());
  }
}

std::shared_ptr<EmulatedInstrument> EmulationControls::Named(const std::string& serial) const {
  const auto named = std::find_if(instruments_.begin(), instruments_.end(),
                                  [&serial](const auto& i) { return i->Serial() == serial; });
  if (named != instruments_.end()) return *named;
  return instruments_.empty() ? nullptr : instruments_.front();
}

void EmulationControls::Plan(EmulatedInstrument& instrument, const FaultOption& fault) {
  ApplyFaultOption(fault, instrument, bus_);
}

void EmulationControls::ResetMemory(EmulatedInstrument& instrument) {
  for (std::size_t i = 0; i < instruments_.size(); ++i) {
    if (instruments_[i].get() == &instrument) instrument.State().memory = startMemory_[i];
  }
}

}  // namespace kestrum
