#include "commands/instrument_erase.h"

#include "commands/command_cycle.h"
#include "link/d2xx_unit.h"
#include "link/nibble_coding.h"
#include "link/port_wait.h"

namespace kestrum {

std::uint8_t EraseResult = kNoAcknowledgement;

namespace {

constexpr int kNibbleEraseWaitMs = 5000;
constexpr int kK7EraseWaitMs = 15000;
constexpr int kK8EraseWaitMs = 5000;

void LongWait(CommandWindow& window, int milliseconds) {
  window.LongWaitBegins(milliseconds);
  WaitMilliseconds(milliseconds);
  window.LongWaitEnds();
}

bool EraseK8(CommandWindow& window) {
  window.SetStatusPanel1Text(kErasingText);
  window.RepaintStatusBar();
  K8LineSetup();
  window.SetStatusPanel1Text(kErasingText);
  FTOutBuffer[0] = 0xA3;
  FTOutBuffer[1] = 0x52;
  FTOutBuffer[2] = 0x0A;
  WaitMilliseconds(10);
  if (WriteFTDevice(3) != 3) return false;
  LongWait(window, kK8EraseWaitMs);
  // The K8's answer says nothing; the frame having gone out counts.
  ReadFTDevice(2);
  EraseResult = kEraseAcknowledged;
  return true;
}

// Write pointer high byte (address 2) = memory size / 256: K5 0x20, K6 0x80.
// False when a write did not go out whole; nothing more is sent then.
bool EraseNibble(CommandWindow& window, std::uint8_t pointerHigh) {
  WaitMilliseconds(25);
  const std::uint8_t frames[3][6] = {
      {0x00, 0x00, 0x00, 0x02, HighNibble(pointerHigh), LowNibble(pointerHigh)},
      {0x00, 0x00, 0x00, 0x03, 0x00, 0x00},
      {0x00, 0x00, 0x00, 0x06, 0x00, 0x00},
  };
  for (const auto& frame : frames) {
    if (SendBytes({0x05, 0x07}) != 2) return false;
    if (SendBytes({frame[0], frame[1], frame[2], frame[3], frame[4], frame[5]}) != 6) return false;
    WaitMilliseconds(25);
  }
  if (SendBytes({0x04, 0x05}) != 2) return false;
  LongWait(window, kNibbleEraseWaitMs);
  if (ReadFTDevice(2) == 2) EraseResult = NibbleValue(FTInBuffer[0], FTInBuffer[1]);
  return true;
}

// Write pointer 0x020000 = 131,072, directory byte 0.
bool EraseLetter(CommandWindow& window) {
  const std::uint8_t frames[4][3] = {
      {0x00, 0x01, 0x02}, {0x00, 0x02, 0x00}, {0x00, 0x03, 0x00}, {0x00, 0x06, 0x00}};
  for (const auto& frame : frames) {
    if (SendBytes({0x57}) != 1) return false;
    WaitMilliseconds(10);
    if (SendBytes({frame[0], frame[1], frame[2]}) != 3) return false;
    WaitMilliseconds(10);
  }
  if (SendBytes({0x45}) != 1) return false;
  LongWait(window, kK7EraseWaitMs);
  if (ReadFTDevice(1) == 1) EraseResult = FTInBuffer[0];
  return true;
}

void ExchangeErase(EraseOutcome& outcome, CommandWindow& window) {
  if (!OpenSelectedInstrument()) {
    outcome.end = EraseEnd::kNotOpened;
    return;
  }
  bool written;
  if (SelectedInstrumentIsK8()) {
    written = EraseK8(window);
  } else {
    window.SetStatusPanel1Text(kErasingText);
    outcome.modelCode = IdentifyExchange();
    switch (outcome.modelCode) {
      case kModelCodeK5:
        written = EraseNibble(window, 0x20);
        break;
      case kModelCodeK6:
        written = EraseNibble(window, 0x80);
        break;
      case kModelCodeK7:
        written = EraseLetter(window);
        break;
      default:
        outcome.end = EraseEnd::kUnknownModel;
        return;
    }
  }
  if (!written) {
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
