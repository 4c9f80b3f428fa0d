// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/condition_marks.h"

#include <charconv>
#include <cmath>

#include "records/date_time.h"

namespace kestrum {
namespace {

// The sensors give tenths: a change of 3.0 reads 3.0000000000000036 in binary.
constexpr double kReadingTolerance = 1e-6;

bool Beyond(double change, const std::optional<double>& threshold) {
  return threshold && std::abs(change) > *threshold + kReadingTolerance;
}

}  // namespace

ConditionThresholds MeasuredOnly(ConditionThresholds thresholds, bool temperature, bool humidity,
                                 bool pressure) {
  if (!temperature) thresholds.temperature.reset();
  if (!humidity) thresholds.humidity.reset();
  if (!pressure) thresholds.pressure.reset();
  return thresholds;
}

std::vector<ConditionMark> MarkConditionChanges(HourSpan samples,
                                                const ConditionThresholds& thresholds) {
  std::vector<ConditionMark> marks;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const HourlySample& before = samples[i - 1];
    const HourlySample& now = samples[i];
    // Only the hour right before: a gap says nothing of how the change came.
    if (std::abs(now.time - before.time - kOneHour) > kOneHour / 4) continue;
    const ConditionMark mark{now.time, now.temperature - before.temperature,
                             now.humidity - before.humidity, now.pressure - before.pressure};
    if (Beyond(mark.temperatureChange, thresholds.temperature) ||
        Beyond(mark.humidityChange, thresholds.humidity) ||
        Beyond(mark.pressureChange, thresholds.pressure)) {
      marks.push_back(mark);
    }
  }
  return marks;
}

std::optional<ConditionThresholds> ParseConditionThresholds(const std::string& text) {
  double values[3] = {0, 0, 0};
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = i < 2 ? text.find(',', start) : text.size();
    if (comma == std::string::npos) return std::nullopt;
    const char* first = text.data() + start;
    const char* last = text.data() + comma;
    const std::from_chars_result read = std::from_chars(first, last, values[i]);
    if (first == last || read.ec != std::errc() || read.ptr != last || !std::isfinite(values[i]) ||
        values[i] <= 0) {
      return std::nullopt;
    }
    start = comma + 1;
  }
  if (start != text.size() + 1) return std::nullopt;
  return ConditionThresholds{values[0], values[1], values[2]};
}

}  // namespace kestrum
