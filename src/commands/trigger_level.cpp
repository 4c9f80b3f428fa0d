// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/trigger_level.h"

#include <cmath>

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"

namespace kestrum {
namespace {

constexpr std::uint8_t kLevelAddress = 4;
constexpr std::uint8_t kFlashAddress = 5;

}  // namespace

std::optional<int> TriggerLevelPulses(int position, Extended calibrationFactor) {
  if (!(calibrationFactor > 0)) return std::nullopt;
  const Extended level = std::trunc(static_cast<Extended>(position) / calibrationFactor);
  if (level > kTriggerLevelMaxPulses || level < 0) return std::nullopt;
  return static_cast<int>(level);
}

int HighestFittingPosition(Extended calibrationFactor) {
  for (int position = kTriggerPositionMax; position > kTriggerPositionMin;
       position -= kTriggerPositionStep) {
    if (TriggerLevelPulses(position, calibrationFactor)) return position;
  }
  return kTriggerPositionMin;
}

const char* WriteFailedText(const TriggerOutcome& outcome) {
  return outcome.levelSent ? kFlashNotSetText : kLevelNotSetText;
}

TriggerOutcome SetTriggerLevel(int position, bool flash, Extended calibrationFactor,
                               CommandWindow* events) {
  SilentWindow none;
  CommandWindow& window = events ? *events : none;
  TriggerOutcome outcome;
  // The instrument may still be open from before; give it time to settle.
  InstrumentPort settle(window);
  settle.Close();
  settle.Wait(500);
  settle.Wait(100);
  CycleSteps steps;
  steps.identifyOnly = true;
  const CycleResult cycle =
      WithInstrument(window, steps, [&](const WireDialect& dialect, InstrumentPort& port) {
        const std::optional<int> level = TriggerLevelPulses(position, calibrationFactor);
        if (!level) {
          outcome.end = TriggerEnd::kTooHigh;
          return;
        }
        outcome.level = *level;
        const auto pulses = static_cast<std::uint8_t>(*level);
        const std::uint8_t option = flash ? kFlashOn : kFlashOff;
        // An instrument pulled out halfway has not been set, or has its level
        // but not the flash option.
        outcome.levelSent = dialect.WriteSettingsByte(port, kLevelAddress, pulses).ok();
        const bool written =
            outcome.levelSent && dialect.WriteSettingsByte(port, kFlashAddress, option).ok();
        outcome.end = written ? TriggerEnd::kSent : TriggerEnd::kWriteFailed;
      });
  TakeSharedEnd(cycle, outcome);
  return outcome;
}

}  // namespace kestrum
