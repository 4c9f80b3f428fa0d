// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The --emulate argument: MODEL[:FILE.Rn][@DESCRIPTION], MODEL one of K5, K6,
// K7, K8. Without a file the memory is generated; the description defaults
// to "USB <-> K8" for a K8 and "USB <-> K5" for the others.

#include <string>

#include "records/instrument_model.h"
#include "records/result.h"

namespace kestrum {

struct EmulatorArgument {
  InstrumentModel model = InstrumentModel::K8;
  std::string file;  // empty: generated memory
  std::string description;
};

// Fails with a message when the text is not a valid argument. A file path
// may contain '@'; the description begins after the last one.
Result<EmulatorArgument> ParseEmulatorArgument(const std::string& text);

}  // namespace kestrum
