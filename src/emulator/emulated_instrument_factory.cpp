#include "emulator/emulated_instrument_factory.h"

#include <cstdio>
#include <utility>

#include "records/data_file.h"
#include "records/image_generator.h"
#include "records/whole_number_text.h"

namespace kestrum {
namespace {

std::shared_ptr<EmulatedInstrument> Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return nullptr;
}

}  // namespace

std::string EmulatedSerialNumber(InstrumentModel model, int number) {
  char text[16];
  std::snprintf(text, sizeof text, "EMU%s%03d", ModelName(model), number % 1000);
  return text;
}

std::shared_ptr<EmulatedInstrument> MakeEmulatedInstrument(const EmulatorArgument& wanted,
                                                           int number, std::string* error) {
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
    FileBytes file = ReadDataFileBytes(wanted.file);
    if (!file.error.empty()) return Fail(error, file.error);
    config.memory = std::move(file.bytes);
    const std::size_t expected = static_cast<std::size_t>(ImageLengthOf(wanted.model));
    if (config.memory.size() != expected) {
      const std::string held = config.memory.size() > kMemoryImageBytes
                                   ? "more than " + ByteCountText(kMemoryImageBytes)
                                   : ByteCountText(config.memory.size());
      return Fail(error, "\"" + wanted.file + "\" holds " + held + "; a " +
                             ModelName(wanted.model) + " memory has " + ByteCountText(expected));
    }
    const std::optional<InstrumentModel> marked = ModelFromMarker(config.memory[0]);
    if (marked && *marked != wanted.model) {
      return Fail(error, "\"" + wanted.file + "\" is a " + ModelName(*marked) + " file, not a " +
                             ModelName(wanted.model) + " one");
    }
  }
  return std::make_shared<EmulatedInstrument>(std::move(config));
}

}  // namespace kestrum
