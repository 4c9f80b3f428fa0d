// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/date_time_stamp.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "records/date_time.h"

namespace kestrum {
namespace {

std::string Formatted(const char* pattern, DateTime value) {
  const DateTimeFields f = SplitDateTime(value);
  char text[32];
  std::snprintf(text, sizeof text, pattern, f.year, f.month, f.day, f.hour, f.minute, f.second);
  return text;
}

int Digits(const std::string& text, std::size_t from, std::size_t count) {
  int value = 0;
  for (std::size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

std::string DateTimeStamp(DateTime value) {
  return Formatted("%04d%02d%02d-%02d%02d%02d", value);
}

std::optional<DateTime> ParseDateTimeStamp(const std::string& text) {
  if (text.size() != 15 || text[8] != '-') return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i != 8 && !std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
  }
  const std::optional<DateTime> date =
      TryEncodeDate(Digits(text, 0, 4), Digits(text, 4, 2), Digits(text, 6, 2));
  const std::optional<DateTime> time =
      TryEncodeTime(Digits(text, 9, 2), Digits(text, 11, 2), Digits(text, 13, 2), 0);
  if (!date || !time) return std::nullopt;
  return *date + *time;
}

std::string DateTimeMessageText(DateTime value) {
  return Formatted("%04d-%02d-%02d %02d:%02d:%02d", value);
}

std::string DayText(DateTime day) {
  return Formatted("%04d-%02d-%02d", std::floor(day));
}

std::optional<DateTime> ParseDay(const std::string& text) {
  int year = 0;
  int month = 0;
  int day = 0;
  char end = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3) {
    return std::nullopt;
  }
  return TryEncodeDate(year, month, day);
}

}  // namespace kestrum
