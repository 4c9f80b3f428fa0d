// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/emulation_setup.h"

#include "emulator/emulated_instrument_factory.h"
#include "emulator/emulator_argument.h"
#include "link/d2xx_unit.h"
#include "link/port_wait.h"

namespace kestrum {

Result<std::unique_ptr<EmulatedBus>> StartEmulation(const std::vector<std::string>& arguments,
                                                    TimeMode mode) {
  auto bus = std::make_unique<EmulatedBus>(mode);
  int number = 1;
  for (const std::string& text : arguments) {
    const Result<EmulatorArgument> wanted = ParseEmulatorArgument(text);
    if (!wanted) return wanted.failure();
    Result<std::shared_ptr<EmulatedInstrument>> instrument =
        MakeEmulatedInstrument(wanted.value(), number++);
    if (!instrument) return instrument.failure();
    bus->Plug(std::move(instrument).value());
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
