// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers for reading command words: options, positional arguments
// and date-times.

#include <QString>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum::tool {

struct ParsedArgs {
  // The value options given, by name without "--": the last value of each,
  // and every value in order for the options that may come more than once.
  std::map<std::string, std::string> options;
  std::map<std::string, std::vector<std::string>> values;
  std::set<std::string> flags;  // the options without a value that were given
  std::vector<std::string> positional;
  bool help = false;  // -h or --help
};

// A command-line word as Qt text and back. Words are bytes (file names need
// not be UTF-8): one character per byte, so every word comes back exactly as
// given. Only for the parser; never show such text.
QString ArgumentText(const std::string& word);
std::string ArgumentBytes(const QString& text);

// Reads a command's words with QCommandLineParser. valueOptions take a value
// ("--name value" or "--name=value"), flagOptions none; names without "--".
// A word that is not understood is the failure, unless help was asked for:
// then only `help` is set.
Result<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                             const std::vector<std::string>& valueOptions,
                             const std::vector<std::string>& flagOptions = {});

// "YYYY-MM-DDTHH:MM:SS" (withSeconds) or "YYYY-MM-DDTHH:MM"; nothing when
// the text is malformed or names no real date and time.
std::optional<DateTime> ParseDateTime(const std::string& text, bool withSeconds);

// A decimal number with a point, whatever the locale, in [low, high].
std::optional<double> ParseDecimal(const std::string& text, double low, double high);

// A whole number in [low, high].
std::optional<long long> ParseWholeNumber(const std::string& text, long long low, long long high);

}  // namespace kestrum::tool
