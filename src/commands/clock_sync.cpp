// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/clock_sync.h"

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"
#include "records/model_capabilities.h"

namespace kestrum {

ClockOutcome SendClockFields(const PcClock& pcNow, CommandWindow& window) {
  ClockOutcome outcome;
  const CycleResult cycle =
      WithInstrument(window, {}, [&](const WireDialect& dialect, InstrumentPort& port) {
        outcome.fields = TakeClockFields(pcNow());
        // An instrument pulled out halfway has not been set: no success text then.
        if (!dialect.SendClock(port, outcome.fields)) {
          outcome.end = ClockEnd::kWriteFailed;
          return;
        }
        outcome.end = ClockEnd::kSent;
        if (!CapabilitiesOf(dialect.Model()).clockConfirmed) return;
        outcome.confirmed = true;
        window.SetProgressText(kClockUpdatedText);
      });
  TakeSharedEnd(cycle, outcome);
  return outcome;
}

ClockOutcome SynchronizeClock(const PcClock& pcNow, CommandWindow& window) {
  if (!window.Confirm(kClockConfirmText)) {
    InstrumentPort(window).Close();
    return ClockOutcome{};
  }
  return SendClockFields(pcNow, window);
}

}  // namespace kestrum
