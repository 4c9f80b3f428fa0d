#include "emulator/emulation_controls.h"

#include <algorithm>

namespace kestrum {
namespace {

// Neither a model code nor a frame start of any dialect.
const std::vector<std::uint8_t> kGarbageBytes = {0xFF, 0x00, 0xA5, 0x5A};

}  // namespace

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

void EmulationControls::PlanNextReply(EmulatedInstrument& instrument, NextReplyFault fault) {
  switch (fault) {
    case NextReplyFault::kSilence:
      instrument.AnswerNothing();
      break;
    case NextReplyFault::kShort:
      instrument.AnswerShort(1);
      break;
    case NextReplyFault::kGarbage:
      instrument.AnswerWrong(kGarbageBytes);
      break;
  }
}

void EmulationControls::PlanUnplugAfter(EmulatedInstrument& instrument, std::uint64_t bytes) {
  instrument.UnplugAfterSending(bytes);
}

void EmulationControls::ResetMemory(EmulatedInstrument& instrument) {
  for (std::size_t i = 0; i < instruments_.size(); ++i) {
    if (instruments_[i].get() == &instrument) instrument.State().memory = startMemory_[i];
  }
}

}  // namespace kestrum
