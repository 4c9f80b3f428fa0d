// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/command_cycle.h"

#include <algorithm>
#include <utility>

#include "commands/dialects/framed_dialect.h"
#include "commands/dialects/letter_dialect.h"
#include "commands/dialects/nibble_dialect.h"
#include "commands/port_failure.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/nibble_coding.h"
#include "link/port_wait.h"

namespace kestrum {
namespace {

LineDrainDisplay g_drain_display;

Result<> WaitForQuietLine() {
  if (g_drain_display.begins) g_drain_display.begins();
  const bool quiet = DrainFTReceive(kLineQuietMs, g_drain_display.progress);
  if (g_drain_display.ends) g_drain_display.ends();
  if (!quiet) return Fail("the wait for the instrument to finish sending was cancelled");
  return {};
}

}  // namespace

void SetLineDrainDisplay(LineDrainDisplay display) {
  g_drain_display = std::move(display);
}

bool SelectedInstrumentIsK8() {
  return IsK8Description(SelectedInstrument.Description);
}

Result<> OpenSelectedInstrument() {
  const Result<> opened = PortResult(Open_USB_Device_By_Serial_Number(SelectedInstrument.SerialNo),
                                     "opening " + SelectedInstrument.SerialNo);
  if (!opened) return opened;
  if (!InstrumentAttached) return Fail("no instrument is attached");
  if (!FTReceiveMayBeBusy()) return {};
  // The K8 sends at its own rate; listen at that rate.
  if (SelectedInstrumentIsK8()) K8LineSetup();
  return WaitForQuietLine();
}

void K8LineSetup() {
  FTParity = FT_PARITY_NONE;
  FTStopBits = FT_STOP_BITS_1;
  FTWordLength = FT_BITS_8;
  SetFTDataCharacteristics();
  FTFlowControl = FT_FLOW_NONE;
  SetFTFlowControl();
  FTBaudRate = 230400;
  SetFTBaudRate();
}

std::uint8_t IdentifyExchange(std::uint32_t* received) {
  SendBytes({0xF3, 0x3F});
  WaitMilliseconds(25);
  const std::uint32_t count = ReadFTDevice(kIdentifyReply);
  if (received) *received = count;
  if (count < kIdentifyReply) return kNoModelCode;
  return NibbleValue(FTInBuffer[0], FTInBuffer[1]);
}

DialectChoice ChooseDialect(const IdentifySteps& steps) {
  if (SelectedInstrumentIsK8()) return {&K8Dialect(), kNoModelCode, 0, false};
  return ChooseDialectByIdentify(steps);
}

DialectChoice ChooseDialectByIdentify(const IdentifySteps& steps) {
  DialectChoice choice;
  if (steps.before && !steps.before()) {
    choice.stopped = true;
    return choice;
  }
  choice.modelCode = IdentifyExchange(&choice.identifyReceived);
  if (steps.waitAfterMs > 0) WaitMilliseconds(steps.waitAfterMs);
  switch (choice.modelCode) {
    case kModelCodeK5:
      choice.dialect = &K5Dialect();
      break;
    case kModelCodeK6:
      choice.dialect = &K6Dialect();
      break;
    case kModelCodeK7:
      choice.dialect = &K7Dialect();
      break;
    default:
      break;
  }
  return choice;
}

void LongWait(CommandWindow& window, int milliseconds) {
  window.LongWaitBegins(milliseconds);
  WaitMilliseconds(milliseconds);
  window.LongWaitEnds();
}

std::uint32_t SendBytes(std::initializer_list<std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), FTOutBuffer.begin());
  return WriteFTDevice(static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace kestrum
