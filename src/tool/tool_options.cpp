#include "tool/tool_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
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

bool IsHelpOption(const std::string& word) {
  return word == "--help" || word == "-h";
}

ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     const std::vector<std::string>& valueOptions) {
  ParsedArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (IsHelpOption(word)) {
      parsed.help = true;
      continue;
    }
    if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
      parsed.positional.push_back(word);
      continue;
    }
    const std::size_t equals = word.find('=');
    const std::string name =
        word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    if (std::find(valueOptions.begin(), valueOptions.end(), name) == valueOptions.end()) {
      parsed.error = "unknown option " + word;
      return parsed;
    }
    if (equals != std::string::npos) {
      parsed.options[name] = word.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      parsed.options[name] = args[++i];
    } else {
      parsed.error = "option --" + name + " needs a value";
      return parsed;
    }
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
