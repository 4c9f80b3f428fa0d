// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/emulator_argument.h"

namespace kestrum {
Result<EmulatorArgument> ParseEmulatorArgument(const std::string& text) {
  const std::size_t model_end = text.find_first_of(":@");
  const std::string name = text.substr(0, model_end);
  const std::optional<InstrumentModel> model = ModelNamed(name);
  if (!model) {
    return Fail("unknown model \"" + name + "\" in \"" + text + "\" (K5, K6, K7 or K8)");
  }
  EmulatorArgument parsed;
  parsed.model = *model;
  parsed.description = *model == InstrumentModel::K8 ? "USB <-> K8" : "USB <-> K5";
  if (model_end == std::string::npos) return parsed;

  std::size_t description_start = std::string::npos;
  if (text[model_end] == ':') {
    const std::size_t at = text.rfind('@');
    const std::size_t file_end = at != std::string::npos && at > model_end ? at : text.size();
    parsed.file = text.substr(model_end + 1, file_end - model_end - 1);
    if (parsed.file.empty()) return Fail("no file after ':' in \"" + text + "\"");
    if (file_end < text.size()) description_start = file_end + 1;
  } else {
    description_start = model_end + 1;
  }
  if (description_start != std::string::npos) {
    parsed.description = text.substr(description_start);
    if (parsed.description.empty()) {
      return Fail("no description after '@' in \"" + text + "\"");
    }
  }
  return parsed;
}

}  // namespace kestrum
