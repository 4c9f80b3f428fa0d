#include "tool/instrument_options.h"

#include <algorithm>

#include "tool/tool_options.h"

namespace kestrum::tool {
namespace {

bool IsFlag(const std::string& name) {
  return name == "yes" || name == "flash";
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

InstrumentOptions ParseInstrumentOptions(const std::vector<std::string>& args,
                                         const std::vector<std::string>& allowed) {
  InstrumentOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (IsHelpOption(word)) {
      options.help = true;
      continue;
    }
    if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
      options.positional.push_back(word);
      continue;
    }
    const std::size_t equals = word.find('=');
    const std::string name =
        word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
      options.error = "unknown option " + word;
      return options;
    }
    if (IsFlag(name)) {
      if (equals != std::string::npos) {
        options.error = "option --" + name + " takes no value";
        return options;
      }
      (name == "yes" ? options.yes : options.flash) = true;
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = word.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      options.error = "option --" + name + " needs a value";
      return options;
    }
    if (name == "emulate") {
      options.emulate.push_back(value);
    } else if (name == "fault") {
      const std::optional<FaultOption> fault = ParseFaultOption(value, &options.error);
      if (!fault) return options;
      options.faults.push_back(*fault);
    } else {
      *ValueSlot(options, name) = value;
    }
  }
  return options;
}

}  // namespace kestrum::tool
