// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/instrument_erase.h"

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"

namespace kestrum {

std::uint8_t EraseResult = kNoAcknowledgement;

EraseOutcome EraseInstrument(CommandWindow& window, const EraseQuestion& question) {
  EraseOutcome outcome;
  std::string text = kEraseConfirmText;
  if (!question.extraLine.empty()) text += "\n" + question.extraLine;
  const bool confirmed =
      question.cancelIsDefault ? window.ConfirmCancelDefault(text) : window.Confirm(text);
  if (!confirmed) return outcome;
  EraseResult = kNoAcknowledgement;
  bool announced = false;
  CycleSteps steps;
  steps.beforeIdentify = [&](InstrumentPort&) {
    window.SetProgressText(kErasingText);
    announced = true;
    return true;
  };
  const CycleResult cycle =
      WithInstrument(window, steps, [&](const WireDialect& dialect, InstrumentPort& port) {
        if (!announced) {
          // No identify exchange came first (the K8): said now, painted at once.
          window.SetProgressText(kErasingText);
          window.RepaintStatusBar();
          window.SetProgressText(kErasingText);
        }
        const Result<std::uint8_t> erased = dialect.Erase(port);
        if (!erased) {
          outcome.end = EraseEnd::kWriteFailed;
          return;
        }
        EraseResult = erased.value();
        outcome.end =
            EraseResult == kEraseAcknowledged ? EraseEnd::kErased : EraseEnd::kNotAcknowledged;
      });
  TakeSharedEnd(cycle, outcome);
  if (EraseResult == kEraseAcknowledged) window.SetProgressText(kErasedText);
  return outcome;
}

}  // namespace kestrum
