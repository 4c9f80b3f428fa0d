// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/instrument_options.h"

#include "tool/tool_options.h"

namespace kestrum::tool {
namespace {

bool IsFlag(const std::string& name) {
  return name == "yes" || name == "flash" || name == "no-keep";
}

std::optional<std::string>* ValueSlot(InstrumentOptions& options, const std::string& name) {
  if (name == "serial") return &options.serial;
  if (name == "trace") return &options.trace;
  if (name == "now") return &options.now;
  if (name == "position") return &options.position;
  if (name == "factor") return &options.factor;
  return nullptr;
}

}  // namespace

Result<InstrumentOptions> ParseInstrumentOptions(const std::vector<std::string>& args,
                                                 const std::vector<std::string>& allowed) {
  std::vector<std::string> valueOptions;
  std::vector<std::string> flagOptions;
  for (const std::string& name : allowed)
    (IsFlag(name) ? flagOptions : valueOptions).push_back(name);
  const Result<ParsedArgs> read = ParseArgs(args, valueOptions, flagOptions);
  if (!read) return read.failure();
  const ParsedArgs& parsed = read.value();

  InstrumentOptions options;
  options.help = parsed.help;
  if (options.help) return options;
  options.positional = parsed.positional;
  if (const auto emulate = parsed.values.find("emulate"); emulate != parsed.values.end()) {
    options.emulate = emulate->second;
  }
  if (const auto faults = parsed.values.find("fault"); faults != parsed.values.end()) {
    for (const std::string& text : faults->second) {
      const Result<FaultOption> fault = ParseFaultOption(text);
      if (!fault) return fault.failure();
      options.faults.push_back(fault.value());
    }
  }
  for (const auto& [name, value] : parsed.options) {
    if (std::optional<std::string>* slot = ValueSlot(options, name)) *slot = value;
  }
  options.yes = parsed.flags.count("yes") != 0;
  options.flash = parsed.flags.count("flash") != 0;
  options.noKeep = parsed.flags.count("no-keep") != 0;
  return options;
}

}  // namespace kestrum::tool
