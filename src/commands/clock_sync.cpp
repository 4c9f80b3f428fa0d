// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/clock_sync.h"

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"
#include "records/model_capabilities.h"

namespace kestrum {

ClockOutcome SendClockFields(const ClockFields& fields, CommandWindow& window) {
  ClockOutcome outcome;
  outcome.fields = fields;
  const CycleResult cycle =
      WithInstrument(window, {}, [&](const WireDialect& dialect, InstrumentPort& port) {
        // An instrument pulled out halfway has not been set: no success text then.
        if (!dialect.SendClock(port, fields)) {
          outcome.end = ClockEnd::kWriteFailed;
          return;
        }
        outcome.end = ClockEnd::kSent;
        if (!CapabilitiesOf(dialect.Model()).clockConfirmed) return;
        window.SetProgressText(kClockUpdatedText);
        window.StartStatusTimer();
      });
  TakeSharedEnd(cycle, outcome);
  return outcome;
}

ClockOutcome SynchronizeClock(DateTime pcNow, CommandWindow& window) {
  const ClockFields fields = TakeClockFields(pcNow);
  if (!window.Confirm(kClockConfirmText)) {
    ClockOutcome outcome;
    outcome.fields = fields;
    InstrumentPort(window).Close();
    return outcome;
  }
  return SendClockFields(fields, window);
}

}  // namespace kestrum
