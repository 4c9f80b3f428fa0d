// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/clock_sync.h"

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"
#include "link/d2xx_unit.h"

namespace kestrum {
namespace {

void ExchangeClock(ClockOutcome& outcome, CommandWindow& window) {
  if (const Result<> opened = OpenSelectedInstrument(); !opened) {
    outcome.end = ClockEnd::kNotOpened;
    outcome.openFailure = opened.error();
    return;
  }
  const DialectChoice choice = ChooseDialect();
  outcome.modelCode = choice.modelCode;
  if (!choice.dialect) {
    outcome.end = ClockEnd::kUnknownModel;
    return;
  }
  // An instrument pulled out halfway has not been set: no success text then.
  if (!choice.dialect->SendClock(outcome.fields)) {
    outcome.end = ClockEnd::kWriteFailed;
    return;
  }
  outcome.end = ClockEnd::kSent;
  if (!choice.dialect->ConfirmsClock()) return;
  window.SetProgressText(kClockUpdatedText);
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
