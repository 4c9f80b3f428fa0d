#include "commands/trigger_level.h"

#include <cmath>

#include "commands/command_cycle.h"
#include "link/d2xx_unit.h"
#include "link/nibble_coding.h"
#include "link/port_wait.h"

namespace kestrum {
namespace {

constexpr std::uint8_t kLevelAddress = 4;
constexpr std::uint8_t kFlashAddress = 5;

// 05 07, then address and data as nibbles, 25 ms apart, 100 ms after.
// False when a write did not go out whole.
bool WriteNibbleMemory(std::uint8_t address, std::uint8_t value) {
  if (SendBytes({0x05, 0x07}) != 2) return false;
  WaitMilliseconds(25);
  const std::uint32_t sent = SendBytes(
      {0x00, 0x00, HighNibble(address), LowNibble(address), HighNibble(value), LowNibble(value)});
  WaitMilliseconds(100);
  return sent == 6;
}

// 'W', then address high, address low and data, 10 ms after each.
bool WriteLetterMemory(std::uint8_t address, std::uint8_t value) {
  if (SendBytes({0x57}) != 1) return false;
  WaitMilliseconds(10);
  const std::uint32_t sent = SendBytes({0x00, address, value});
  WaitMilliseconds(10);
  return sent == 3;
}

void ExchangeLevel(TriggerOutcome& outcome, int position, bool flash, Extended factor) {
  if (!OpenSelectedInstrument()) return;
  outcome.modelCode = IdentifyExchange();
  const bool nibble = outcome.modelCode == kModelCodeK5 || outcome.modelCode == kModelCodeK6;
  if (!nibble && outcome.modelCode != kModelCodeK7) {
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
  const auto write = nibble ? WriteNibbleMemory : WriteLetterMemory;
  // An instrument pulled out halfway has not been set.
  const bool written = write(kLevelAddress, pulses) && write(kFlashAddress, option);
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
