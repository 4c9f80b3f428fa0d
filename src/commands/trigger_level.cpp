// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/trigger_level.h"

#include <cmath>

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"
#include "link/d2xx_unit.h"
#include "link/port_wait.h"

namespace kestrum {
namespace {

constexpr std::uint8_t kLevelAddress = 4;
constexpr std::uint8_t kFlashAddress = 5;

void ExchangeLevel(TriggerOutcome& outcome, int position, bool flash, Extended factor) {
  if (const Result<> opened = OpenSelectedInstrument(); !opened) {
    outcome.openFailure = opened.error();
    return;
  }
  const DialectChoice choice = ChooseDialectByIdentify();
  outcome.modelCode = choice.modelCode;
  if (!choice.dialect) {
    outcome.end = TriggerEnd::kUnknownModel;
    return;
  }
  const std::optional<int> level = TriggerLevelPulses(position, factor);
  if (!level) {
    outcome.end = TriggerEnd::kTooHigh;
    return;
  }
  outcome.level = *level;
  const auto pulses = static_cast<std::uint8_t>(*level);
  const std::uint8_t option = flash ? kFlashOn : kFlashOff;
  const WireDialect& dialect = *choice.dialect;
  // An instrument pulled out halfway has not been set, or has its level but
  // not the flash option.
  outcome.levelSent = dialect.WriteSettingsByte(kLevelAddress, pulses);
  const bool written = outcome.levelSent && dialect.WriteSettingsByte(kFlashAddress, option);
  outcome.end = written ? TriggerEnd::kSent : TriggerEnd::kWriteFailed;
}

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

TriggerOutcome SetTriggerLevel(int position, bool flash, Extended calibrationFactor) {
  TriggerOutcome outcome;
  // The instrument may still be open from before; give it time to settle.
  CloseFTDevice();
  WaitMilliseconds(500);
  WaitMilliseconds(100);
  ExchangeLevel(outcome, position, flash, calibrationFactor);
  CloseFTDevice();
  return outcome;
}

}  // namespace kestrum
