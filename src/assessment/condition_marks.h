// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hours during a test whose conditions changed more than a little from the
// hour before: a jump in temperature, humidity or pressure that may come
// from an opened window or door, or a moved or disturbed instrument. They are
// shown and counted for whoever judges the test; nothing is removed or judged
// by them.

#include <optional>
#include <string>
#include <vector>

#include "records/hourly_sample.h"

namespace kestrum {

// Changes from one hour to the next that mark it; a channel the instrument
// does not measure is left empty. A change of exactly the threshold is not marked.
struct ConditionThresholds {
  std::optional<double> temperature = 3.0;  // °C
  std::optional<double> humidity = 10.0;    // percentage points
  std::optional<double> pressure = 0.5;     // kPa
};

// `thresholds` for only the channels the instrument measures: the others
// can mark no hour.
ConditionThresholds MeasuredOnly(ConditionThresholds thresholds, bool temperature, bool humidity,
                                 bool pressure);

struct ConditionMark {
  DateTime time = 0;  // the hour's stamp (its end)
  double temperatureChange = 0;
  double humidityChange = 0;
  double pressureChange = 0;
};

// Each sample compared with the one an hour before it (none across a gap).
std::vector<ConditionMark> MarkConditionChanges(HourSpan samples,
                                                const ConditionThresholds& thresholds);

// "3,10,0.5" (temperature, humidity, pressure) into thresholds; empty for
// anything but three positive numbers.
std::optional<ConditionThresholds> ParseConditionThresholds(const std::string& text);

}  // namespace kestrum
