// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds the emulated instrument an --emulate argument asks for.

#include <memory>
#include <string>

#include "emulator/emulated_instrument.h"
#include "emulator/emulator_argument.h"
#include "records/result.h"

namespace kestrum {

// Serial number of the emulated instrument number `number` (from 1) of a
// model, e.g. "EMUK8001".
std::string EmulatedSerialNumber(InstrumentModel model, int number);

// The memory comes from wanted.file (a ".Rn" file of the model's size whose
// model marker, if any, matches) or is generated: several runs with every
// channel the model has. A bad file is the failure.
Result<std::shared_ptr<EmulatedInstrument>> MakeEmulatedInstrument(const EmulatorArgument& wanted,
                                                                   int number);

}  // namespace kestrum
