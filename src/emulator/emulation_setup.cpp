#include "emulator/emulation_setup.h"

#include "emulator/emulated_instrument_factory.h"
#include "emulator/emulator_argument.h"
#include "link/d2xx_unit.h"
#include "link/port_wait.h"

namespace kestrum {

std::unique_ptr<EmulatedBus> StartEmulation(const std::vector<std::string>& arguments,
                                            TimeMode mode, std::string* error) {
  auto bus = std::make_unique<EmulatedBus>(mode);
  int number = 1;
  for (const std::string& text : arguments) {
    const std::optional<EmulatorArgument> wanted = ParseEmulatorArgument(text, error);
    if (!wanted) return nullptr;
    auto instrument = MakeEmulatedInstrument(*wanted, number++, error);
    if (!instrument) return nullptr;
    bus->Plug(std::move(instrument));
  }
  SetFtDriver(bus.get());
  SetSleeper(bus->MakeSleeper());
  return bus;
}

void StopEmulation() {
  SetFtDriver(nullptr);
  SetSleeper({});
}

}  // namespace kestrum
