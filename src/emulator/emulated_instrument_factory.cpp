// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/emulated_instrument_factory.h"

#include <cstdio>
#include <utility>

#include "records/data_file.h"
#include "records/image_generator.h"
#include "records/whole_number_text.h"

namespace kestrum {

std::string EmulatedSerialNumber(InstrumentModel model, int number) {
  char text[16];
  std::snprintf(text, sizeof text, "EMU%s%03d", ModelName(model), number % 1000);
  return text;
}

Result<std::shared_ptr<EmulatedInstrument>> MakeEmulatedInstrument(const EmulatorArgument& wanted,
                                                                   int number) {
  EmulatedInstrumentConfig config;
  config.model = wanted.model;
  config.description = wanted.description;
  config.serial = EmulatedSerialNumber(wanted.model, number);

  if (wanted.file.empty()) {
    GeneratorOptions options;
    options.model = wanted.model;
    options.runs = 4;
    options.hours = 96;
    options.seed = static_cast<std::uint32_t>(number);
    config.memory = GenerateMemoryImage(options);
  } else {
    Result<std::vector<std::uint8_t>> file = ReadDataFileBytes(wanted.file);
    if (!file) return file.failure();
    config.memory = std::move(file).value();
    const std::size_t expected = static_cast<std::size_t>(ImageLengthOf(wanted.model));
    if (config.memory.size() != expected) {
      const std::string held = config.memory.size() > kMemoryImageBytes
                                   ? "more than " + ByteCountText(kMemoryImageBytes)
                                   : ByteCountText(config.memory.size());
      return Fail("\"" + wanted.file + "\" holds " + held + "; a " + ModelName(wanted.model) +
                  " memory has " + ByteCountText(expected));
    }
    const std::optional<InstrumentModel> marked = ModelFromMarker(config.memory[0]);
    if (marked && *marked != wanted.model) {
      return Fail("\"" + wanted.file + "\" is a " + ModelName(*marked) + " file, not a " +
                  ModelName(wanted.model) + " one");
    }
  }
  return std::make_shared<EmulatedInstrument>(std::move(config));
}

}  // namespace kestrum
