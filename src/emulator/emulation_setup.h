// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starting the program or the tool with emulated instruments in place of the
// real converters (the --emulate option).

#include <memory>
#include <string>
#include <vector>

#include "emulator/emulated_bus.h"
#include "records/result.h"

namespace kestrum {

// Builds a bus with one instrument per argument, in the given order, and installs
// it as the port module's driver and its clock as the wait sleeper. The
// caller keeps the bus alive while it is installed. A bad argument or file
// is the failure; nothing is installed then.
Result<std::unique_ptr<EmulatedBus>> StartEmulation(const std::vector<std::string>& arguments,
                                                    TimeMode mode);

// Removes the bus from the port module and restores real sleeps.
void StopEmulation();

}  // namespace kestrum
