// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calendar day of an hour and the mean of each day. A sample is the
// hour that ends at its time stamp; the middle of that hour decides its day,
// so the sample stamped 00:15 still belongs to the day before.

#include <vector>

#include "records/hourly_sample.h"

namespace kestrum {

// Days since 30 December 1899 (a Saturday) of the day the hour ending at
// `time` mostly lies in.
int DayOfHour(DateTime time);

// 0 Monday .. 6 Sunday.
int WeekdayOfDay(int day);

struct DailyMean {
  int year = 0;
  int month = 0;
  int day = 0;
  int count = 0;
  double mean = 0;  // Bq/m3
};

// One entry per calendar day that holds a sample, in the order the samples
// come (time order gives calendar order).
std::vector<DailyMean> CalendarDays(HourSpan samples);

}  // namespace kestrum
