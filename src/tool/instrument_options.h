// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options of the instrument commands (list, download, sync-clock, erase,
// set-level), read with ParseArgs: --emulate and --fault may come more than
// once, --yes, --flash and --no-keep take no value, the others one.

#include <optional>
#include <string>
#include <vector>

#include "emulator/fault_option.h"
#include "records/result.h"

namespace kestrum::tool {

struct InstrumentOptions {
  std::vector<std::string> emulate;  // --emulate arguments, in order
  std::vector<FaultOption> faults;   // --fault arguments, in order
  std::optional<std::string> serial;
  std::optional<std::string> trace;
  std::optional<std::string> now;
  std::optional<std::string> position;
  std::optional<std::string> factor;
  bool yes = false;
  bool flash = false;
  bool noKeep = false;  // download: --no-keep
  bool help = false;
  std::vector<std::string> positional;
};

// `allowed`: the option names (without "--") this command takes. A word that
// is not understood is the failure, unless help was asked for.
Result<InstrumentOptions> ParseInstrumentOptions(const std::vector<std::string>& args,
                                                 const std::vector<std::string>& allowed);

}  // namespace kestrum::tool
