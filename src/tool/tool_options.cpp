// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/tool_options.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "records/date_time.h"

namespace kestrum::tool {
namespace {

// Reads exactly `digits` digits at text[pos].
bool ReadDigits(const std::string& text, std::size_t pos, int digits, int& value) {
  if (pos + static_cast<std::size_t>(digits) > text.size()) return false;
  value = 0;
  for (int i = 0; i < digits; ++i) {
    const char c = text[pos + static_cast<std::size_t>(i)];
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

}  // namespace

QString ArgumentText(const std::string& word) {
  return QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

std::string ArgumentBytes(const QString& text) {
  return text.toLatin1().toStdString();
}

Result<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                             const std::vector<std::string>& valueOptions,
                             const std::vector<std::string>& flagOptions) {
  QCommandLineParser parser;
  // "-floor" is one unknown word, not the options f, l, o, o and r.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({"h", "help"}, "Shows the command's usage.");
  parser.addOption(help);
  for (const std::string& name : valueOptions) {
    parser.addOption(QCommandLineOption(ArgumentText(name), QString(), "value"));
  }
  for (const std::string& name : flagOptions) {
    parser.addOption(QCommandLineOption(ArgumentText(name), QString()));
  }
  QStringList words{"kestrum-tool"};
  for (const std::string& word : args) words << ArgumentText(word);

  ParsedArgs parsed;
  const bool understood = parser.parse(words);
  parsed.help = parser.isSet(help);
  if (!understood) {
    if (parsed.help) return parsed;
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
      // The word as it was given, for a text that only looks like an option.
      std::string word = "-" + ArgumentBytes(unknown.front());
      for (const std::string& arg : args) {
        if (arg.size() > 1 && arg[0] == '-' &&
            arg.find(ArgumentBytes(unknown.front())) == (arg[1] == '-' ? 2u : 1u)) {
          word = arg;
          break;
        }
      }
      return Fail("unknown option \"" + word +
                  "\" (a value that starts with \"-\" goes after \"--\", as in -- \"" + word +
                  "\")");
    }
    return Fail(ArgumentBytes(parser.errorText()));
  }
  for (const std::string& name : valueOptions) {
    const QStringList given = parser.values(ArgumentText(name));
    if (given.isEmpty()) continue;
    for (const QString& value : given) parsed.values[name].push_back(ArgumentBytes(value));
    parsed.options[name] = parsed.values[name].back();
  }
  for (const std::string& name : flagOptions) {
    if (parser.isSet(ArgumentText(name))) parsed.flags.insert(name);
  }
  for (const QString& word : parser.positionalArguments()) {
    parsed.positional.push_back(ArgumentBytes(word));
  }
  return parsed;
}

std::optional<DateTime> ParseDateTime(const std::string& text, bool withSeconds) {
  const std::size_t length = withSeconds ? 19 : 16;
  if (text.size() != length || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
      text[13] != ':' || (withSeconds && text[16] != ':')) {
    return std::nullopt;
  }
  int year, month, day, hour, minute, second = 0;
  if (!ReadDigits(text, 0, 4, year) || !ReadDigits(text, 5, 2, month) ||
      !ReadDigits(text, 8, 2, day) || !ReadDigits(text, 11, 2, hour) ||
      !ReadDigits(text, 14, 2, minute) || (withSeconds && !ReadDigits(text, 17, 2, second))) {
    return std::nullopt;
  }
  const std::optional<DateTime> date = TryEncodeDate(year, month, day);
  const std::optional<DateTime> time = TryEncodeTime(hour, minute, second, 0);
  if (!date || !time) return std::nullopt;
  return *date + *time;
}

std::optional<double> ParseDecimal(const std::string& text, double low, double high) {
  double value = 0;
  const char* end = text.data() + text.size();
  const std::from_chars_result read = std::from_chars(text.data(), end, value);
  if (text.empty() || read.ec != std::errc() || read.ptr != end || !(value >= low) ||
      !(value <= high)) {
    return std::nullopt;
  }
  return value;
}

std::optional<long long> ParseWholeNumber(const std::string& text, long long low, long long high) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end != text.c_str() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

}  // namespace kestrum::tool
