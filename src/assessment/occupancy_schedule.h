// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hours a workplace is occupied, as blocks of weekdays and times:
// "Mon-Fri 08:00-18:00" or "Mon-Thu 07:30-16:30,Sat 09:00-12:00". An hour
// is occupied when its middle lies in a block (the block's end excluded).

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "records/measurement_store.h"
#include "records/result.h"

namespace kestrum {

inline constexpr char kDefaultSchedule[] = "Mon-Fri 08:00-18:00";

class OccupancySchedule {
 public:
  // Refuses, naming the word, anything but blocks of "Day[-Day] HH:MM-HH:MM"
  // separated by commas, with each block's start before its end.
  static Result<OccupancySchedule> Parse(std::string_view text);

  const std::string& Text() const { return text_; }
  // Whether the hour ending at `time` is occupied.
  bool Occupied(DateTime time) const;
  // Hours scheduled on a weekday (0 Monday .. 6 Sunday).
  double ScheduledHours(int weekday) const;

 private:
  struct Block {
    int from = 0;  // minutes of the day
    int to = 0;    // exclusive
  };
  std::string text_;
  std::array<std::vector<Block>, 7> days_;
};

}  // namespace kestrum
