// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/instrument_erase.h"

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"
#include "link/d2xx_unit.h"

namespace kestrum {

std::uint8_t EraseResult = kNoAcknowledgement;

namespace {

void ExchangeErase(EraseOutcome& outcome, CommandWindow& window) {
  if (const Result<> opened = OpenSelectedInstrument(); !opened) {
    outcome.end = EraseEnd::kNotOpened;
    outcome.openFailure = opened.error();
    return;
  }
  IdentifySteps steps;
  steps.before = [&window] {
    window.SetProgressText(kErasingText);
    return true;
  };
  const DialectChoice choice = ChooseDialect(steps);
  outcome.modelCode = choice.modelCode;
  if (!choice.dialect) {
    outcome.end = EraseEnd::kUnknownModel;
    return;
  }
  if (!choice.dialect->Erase(window, EraseResult)) {
    outcome.end = EraseEnd::kWriteFailed;
    return;
  }
  outcome.end = EraseResult == kEraseAcknowledged ? EraseEnd::kErased : EraseEnd::kNotAcknowledged;
}

}  // namespace

EraseOutcome EraseInstrument(CommandWindow& window, const EraseQuestion& question) {
  EraseOutcome outcome;
  std::string text = kEraseConfirmText;
  if (!question.extraLine.empty()) text += "\n" + question.extraLine;
  const bool confirmed =
      question.cancelIsDefault ? window.ConfirmCancelDefault(text) : window.Confirm(text);
  if (!confirmed) return outcome;
  EraseResult = kNoAcknowledgement;
  ExchangeErase(outcome, window);
  if (EraseResult == kEraseAcknowledged) window.SetProgressText(kErasedText);
  window.StartStatusTimer();
  CloseFTDevice();
  return outcome;
}

}  // namespace kestrum
