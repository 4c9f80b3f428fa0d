#include "commands/instrument_erase.h"

#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"
#include "link/d2xx_unit.h"

namespace kestrum {

std::uint8_t EraseResult = kNoAcknowledgement;

namespace {

void ExchangeErase(EraseOutcome& outcome, CommandWindow& window) {
  if (!OpenSelectedInstrument()) {
    outcome.end = EraseEnd::kNotOpened;
    return;
  }
  IdentifySteps steps;
  steps.before = [&window] {
    window.SetStatusPanel1Text(kErasingText);
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

EraseOutcome EraseInstrument(CommandWindow& window) {
  EraseOutcome outcome;
  if (!window.Confirm(kEraseConfirmText)) return outcome;
  EraseResult = kNoAcknowledgement;
  ExchangeErase(outcome, window);
  if (EraseResult == kEraseAcknowledged) window.SetStatusPanel1Text(kErasedText);
  window.StartStatusTimer();
  CloseFTDevice();
  return outcome;
}

}  // namespace kestrum
