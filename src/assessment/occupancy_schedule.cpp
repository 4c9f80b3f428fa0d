// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/occupancy_schedule.h"

#include <cmath>
#include <optional>

#include "assessment/daily_means.h"
#include "records/date_time.h"

namespace kestrum {
namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"Mon", "Tue", "Wed", "Thu",
                                                       "Fri", "Sat", "Sun"};

std::optional<int> DayNamed(std::string_view word) {
  for (std::size_t i = 0; i < kDayNames.size(); ++i) {
    if (word == kDayNames[i]) return static_cast<int>(i);
  }
  return std::nullopt;
}

// "HH:MM" from 00:00 to 24:00, in minutes.
std::optional<int> MinuteNamed(std::string_view word) {
  if (word.size() != 5 || word[2] != ':') return std::nullopt;
  for (std::size_t i : {0u, 1u, 3u, 4u}) {
    if (word[i] < '0' || word[i] > '9') return std::nullopt;
  }
  const int hour = (word[0] - '0') * 10 + (word[1] - '0');
  const int minute = (word[3] - '0') * 10 + (word[4] - '0');
  if (minute > 59 || hour > 24 || (hour == 24 && minute != 0)) return std::nullopt;
  return hour * 60 + minute;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

Failure Refused(std::string_view word, const char* want) {
  return Fail("the schedule word \"" + std::string(word) + "\" is not " + want +
              " (e.g. \"Mon-Fri 08:00-18:00\")");
}

}  // namespace

Result<OccupancySchedule> OccupancySchedule::Parse(std::string_view text) {
  OccupancySchedule out;
  std::string joined;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view block = Trimmed(text.substr(start, comma - start));
    start = comma + 1;
    const std::size_t space = block.find(' ');
    if (space == std::string_view::npos) return Refused(block, "a block of days and hours");
    const std::string_view days = block.substr(0, space);
    const std::string_view hours = Trimmed(block.substr(space + 1));

    const std::size_t dash = days.find('-');
    const std::optional<int> firstDay = DayNamed(days.substr(0, dash));
    const std::optional<int> lastDay =
        dash == std::string_view::npos ? firstDay : DayNamed(days.substr(dash + 1));
    if (!firstDay || !lastDay) return Refused(days, "a day or days like Mon or Mon-Fri");

    const std::size_t to = hours.find('-');
    const std::optional<int> from = MinuteNamed(hours.substr(0, to));
    const std::optional<int> until =
        to == std::string_view::npos ? std::nullopt : MinuteNamed(hours.substr(to + 1));
    if (!from || !until || *from >= *until) {
      return Refused(hours, "a time range like 08:00-18:00 that ends after it starts");
    }
    for (int d = *firstDay;; d = (d + 1) % 7) {
      out.days_[static_cast<std::size_t>(d)].push_back({*from, *until});
      if (d == *lastDay) break;
    }
    if (!joined.empty()) joined += ',';
    joined += std::string(days) + ' ' + std::string(hours);
  }
  out.text_ = joined;
  return out;
}

bool OccupancySchedule::Occupied(DateTime time) const {
  const DateTime middle = time - kOneHour / 2;
  const int day = DayOfHour(time);
  const long minute = std::lround((middle - day) * 1440.0);
  for (const Block& b : days_[static_cast<std::size_t>(WeekdayOfDay(day))]) {
    if (minute >= b.from && minute < b.to) return true;
  }
  return false;
}

double OccupancySchedule::ScheduledHours(int weekday) const {
  int minutes = 0;
  for (const Block& b : days_[static_cast<std::size_t>(weekday)]) minutes += b.to - b.from;
  return minutes / 60.0;
}

}  // namespace kestrum
