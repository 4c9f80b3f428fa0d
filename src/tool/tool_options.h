#pragma once
// Small helpers for reading command words: "--name value" or "--name=value"
// options, positional arguments and date-times.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "records/measurement_store.h"

namespace kestrum::tool {

bool IsHelpOption(const std::string& word);

struct ParsedArgs {
  std::map<std::string, std::string> options;  // by name without "--"
  std::vector<std::string> positional;
  bool help = false;
  std::string error;  // set when a word could not be understood
};

// valueOptions: the option names (without "--") that take a value.
ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     const std::vector<std::string>& valueOptions);

// "YYYY-MM-DDTHH:MM:SS" (withSeconds) or "YYYY-MM-DDTHH:MM"; nothing when
// the text is malformed or names no real date and time.
std::optional<DateTime> ParseDateTime(const std::string& text, bool withSeconds);

// A whole number in [low, high].
std::optional<long long> ParseWholeNumber(const std::string& text, long long low, long long high);

}  // namespace kestrum::tool
