#include "commands/clock_sync.h"

#include "commands/command_cycle.h"
#include "link/d2xx_unit.h"
#include "link/nibble_coding.h"
#include "link/port_wait.h"

namespace kestrum {
namespace {

constexpr std::uint8_t kFirstClockRegister = 2;

bool SendK8Clock(const ClockFields& fields) {
  const auto frame = K8ClockFrame(fields);
  std::copy(frame.begin(), frame.end(), FTOutBuffer.begin());
  const bool written = WriteFTDevice(frame.size()) == frame.size();
  WaitMilliseconds(100);
  return written;
}

// K5, K6: per register 04, 03, then register and value as nibbles.
bool SendNibbleClock(const ClockFields& fields) {
  bool written = true;
  std::uint8_t reg = kFirstClockRegister;
  for (const std::uint8_t value : ClockRegisterValues(fields)) {
    WaitMilliseconds(50);
    written &= SendBytes({0x04}) == 1;
    written &= SendBytes({0x03}) == 1;
    WaitMilliseconds(5);
    written &=
        SendBytes({HighNibble(reg), LowNibble(reg), HighNibble(value), LowNibble(value)}) == 4;
    ++reg;
  }
  return written;
}

// K7: per register 'C', then register and value.
bool SendLetterClock(const ClockFields& fields) {
  bool written = true;
  std::uint8_t reg = kFirstClockRegister;
  for (const std::uint8_t value : ClockRegisterValues(fields)) {
    written &= SendBytes({0x43}) == 1;
    WaitMilliseconds(10);
    written &= SendBytes({reg, value}) == 2;
    WaitMilliseconds(10);
    ++reg;
  }
  return written;
}

void ExchangeClock(ClockOutcome& outcome, CommandWindow& window) {
  if (!OpenSelectedInstrument()) {
    outcome.end = ClockEnd::kNotOpened;
    return;
  }
  if (SelectedInstrumentIsK8()) {
    K8LineSetup();
    outcome.end = SendK8Clock(outcome.fields) ? ClockEnd::kSent : ClockEnd::kWriteFailed;
    return;
  }
  outcome.modelCode = IdentifyExchange();
  bool written;
  if (outcome.modelCode == kModelCodeK5 || outcome.modelCode == kModelCodeK6) {
    written = SendNibbleClock(outcome.fields);
  } else if (outcome.modelCode == kModelCodeK7) {
    written = SendLetterClock(outcome.fields);
  } else {
    outcome.end = ClockEnd::kUnknownModel;
    return;
  }
  // An instrument pulled out halfway has not been set: no success text then.
  if (!written) {
    outcome.end = ClockEnd::kWriteFailed;
    return;
  }
  outcome.end = ClockEnd::kSent;
  window.SetStatusPanel1Text(kClockUpdatedText);
  window.StartStatusTimer();
}

}  // namespace

ClockOutcome SendClockFields(const ClockFields& fields, CommandWindow& window) {
  ClockOutcome outcome;
  outcome.fields = fields;
  ExchangeClock(outcome, window);
  CloseFTDevice();
  return outcome;
}

ClockOutcome SynchronizeClock(DateTime pcNow, CommandWindow& window) {
  const ClockFields fields = TakeClockFields(pcNow);
  if (!window.Confirm(kClockConfirmText)) {
    ClockOutcome outcome;
    outcome.fields = fields;
    CloseFTDevice();
    return outcome;
  }
  return SendClockFields(fields, window);
}

}  // namespace kestrum
