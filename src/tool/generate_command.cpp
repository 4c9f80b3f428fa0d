// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool generate --model K5|K6|K7|K8 [--runs N] [--hours H] [--seed S]
//                       [--start YYYY-MM-DDTHH:MM] OUT.Rn
#include <string_view>

#include "records/date_time.h"
#include "records/image_generator.h"
#include "tool/tool_command.h"
#include "tool/tool_options.h"
#include "tool/tool_output.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool generate --model K5|K6|K7|K8 [--runs N] [--hours H] [--seed S]\n"
    "                             [--start YYYY-MM-DDTHH:MM] OUT.Rn\n"
    "Writes a synthetic memory image laid out as the instrument lays it out, with a daily\n"
    "radon cycle, Poisson-distributed pulse counts and plausible temperature, humidity and\n"
    "pressure readings.\n"
    "  --model   instrument model (required)\n"
    "  --runs    measuring runs, 0 to 27 (default 3)\n"
    "  --hours   hourly samples per run, 1 to 100000, cut to what the memory holds (default 72)\n"
    "  --seed    random seed, 0 to 4294967295 (default 1); the same seed gives the same file\n"
    "  --start   start of the first run (default 2024-03-05T14:30); every run must end\n"
    "            by 2099-12-31\n"
    "OUT.Rn \"-\" writes the image to standard output.\n"
    "Exit codes: 0 written; 2 wrong usage or a file that could not be written.\n";

std::optional<InstrumentModel> ParseModel(const std::string& text) {
  for (InstrumentModel model :
       {InstrumentModel::K5, InstrumentModel::K6, InstrumentModel::K7, InstrumentModel::K8}) {
    if (text == ModelName(model)) return model;
  }
  return std::nullopt;
}

int UsageError(ToolIo& io, const std::string& problem) {
  io.err << "kestrum-tool generate: " << problem << "\n" << kUsage;
  return kExitFailure;
}

}  // namespace

int RunGenerateCommand(const std::vector<std::string>& args, ToolIo& io) {
  const Result<ParsedArgs> read = ParseArgs(args, {"model", "runs", "hours", "seed", "start"});
  if (!read) return UsageError(io, read.error());
  const ParsedArgs& parsed = read.value();
  if (parsed.help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  if (parsed.positional.size() != 1) return UsageError(io, "expects exactly one output file");

  GeneratorOptions options;
  const auto option = [&](const char* name) -> const std::string* {
    auto it = parsed.options.find(name);
    return it == parsed.options.end() ? nullptr : &it->second;
  };
  const std::string* model = option("model");
  if (!model) return UsageError(io, "--model is required");
  if (auto m = ParseModel(*model)) {
    options.model = *m;
  } else {
    return UsageError(io, "--model must be K5, K6, K7 or K8");
  }
  if (const std::string* runs = option("runs")) {
    auto value = ParseWholeNumber(*runs, 0, 27);
    if (!value) return UsageError(io, "--runs must be a whole number from 0 to 27");
    options.runs = static_cast<int>(*value);
  }
  if (const std::string* hours = option("hours")) {
    auto value = ParseWholeNumber(*hours, 1, 100000);
    if (!value) return UsageError(io, "--hours must be a whole number from 1 to 100000");
    options.hours = static_cast<int>(*value);
  }
  if (const std::string* seed = option("seed")) {
    auto value = ParseWholeNumber(*seed, 0, 4294967295LL);
    if (!value) return UsageError(io, "--seed must be a whole number from 0 to 4294967295");
    options.seed = static_cast<std::uint32_t>(*value);
  }
  if (const std::string* start = option("start")) {
    auto value = ParseDateTime(*start, false);
    if (!value) return UsageError(io, "--start wants a date-time YYYY-MM-DDTHH:MM");
    // The instrument's clock keeps two year digits.
    if (*value < EncodeDate(2000, 1, 1) || *value >= EncodeDate(2100, 1, 1)) {
      return UsageError(io, "--start must lie in the years 2000 to 2099");
    }
    options.start = *value;
  }

  DateTime lastRunEnd = 0;
  const std::vector<std::uint8_t> image = GenerateMemoryImage(options, &lastRunEnd);
  // A sample stamped in 2100 would read back as 2000; a sample is stamped at
  // its hour's end, so one ending at midnight on New Year's Eve is in 2100.
  if (lastRunEnd >= EncodeDate(2100, 1, 1) - kOneMillisecond) {
    return UsageError(io,
                      "--start is too late: the runs would end after 2099-12-31, the last "
                      "date the instrument's clock can hold");
  }
  const std::string& target = parsed.positional[0];
  const Result<> written = WriteToolOutput(
      target, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()), io);
  if (!written) {
    io.err << "kestrum-tool generate: " << CannotWriteText(target, written.error()) << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace kestrum::tool
