// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/daily_means.h"

#include <cmath>

#include "records/date_time.h"

namespace kestrum {

int DayOfHour(DateTime time) {
  return static_cast<int>(std::floor(time - kOneHour / 2));
}

int WeekdayOfDay(int day) {
  return ((day + 5) % 7 + 7) % 7;
}

std::vector<DailyMean> CalendarDays(HourSpan samples) {
  std::vector<DailyMean> days;
  Extended sum = 0;
  int current = 0;
  auto close = [&] {
    if (!days.empty()) days.back().mean = static_cast<double>(sum / days.back().count);
  };
  for (const HourlySample& s : samples) {
    const int day = DayOfHour(s.time);
    if (days.empty() || day != current) {
      close();
      const DateTimeFields f = SplitDateTime(day);
      days.push_back({f.year, f.month, f.day, 0, 0});
      current = day;
      sum = 0;
    }
    ++days.back().count;
    sum += s.concentration;
  }
  close();
  return days;
}

}  // namespace kestrum
