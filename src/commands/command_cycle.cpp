// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/command_cycle.h"

#include "commands/dialects/wire_dialect.h"
#include "commands/port_failure.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/nibble_coding.h"

namespace kestrum {
namespace {

DialectChoice ChooseByIdentify(InstrumentPort& port, const CycleSteps& steps) {
  DialectChoice choice;
  const Result<std::uint8_t> code = IdentifyExchange(port);
  if (code) {
    choice.modelCode = code.value();
  } else {
    choice.identifyFailure = PortFailure{code.failure(), port.Shortfall()};
  }
  if (steps.waitAfterIdentifyMs > 0) port.Wait(steps.waitAfterIdentifyMs);
  choice.dialect = DialectOfModelCode(choice.modelCode);
  return choice;
}

}  // namespace

bool SelectedInstrumentIsK8() {
  return IsK8Description(SelectedInstrument.Description);
}

Result<> OpenSelectedInstrument(InstrumentPort& port) {
  const Result<> opened = PortResult(Open_USB_Device_By_Serial_Number(SelectedInstrument.SerialNo),
                                     "opening " + SelectedInstrument.SerialNo);
  if (!opened) return opened;
  if (!InstrumentAttached) return Fail(FailureKind::kNotOpened, "no instrument is attached");
  if (!FTReceiveMayBeBusy()) return {};
  // The K8 sends at its own rate; listen at that rate.
  if (SelectedInstrumentIsK8()) port.SetK8Line();
  return port.DrainIfBusy();
}

Result<std::uint8_t> IdentifyExchange(InstrumentPort& port) {
  // A short write shows as a missing answer.
  (void)port.Send(kIdentifyQuery, sizeof kIdentifyQuery);
  port.Wait(25);
  const Result<Reply> answer = port.Read(kIdentifyReply, 0, ReplyCoding::kNibble);
  if (!answer) return answer.failure();
  return NibbleValue(answer.value()[0], answer.value()[1]);
}

CycleResult WithInstrument(CommandWindow& events, const CycleSteps& steps,
                           const CommandBody& body) {
  InstrumentPort port(events);
  CycleResult cycle;
  if (const Result<> opened = OpenSelectedInstrument(port); !opened) {
    cycle.end = CycleEnd::kNotOpened;
    cycle.openFailure = opened.error();
  } else if (!steps.identifyOnly && SelectedInstrumentIsK8()) {
    cycle.choice.dialect = &kK8Dialect;
  } else if (steps.beforeIdentify && !steps.beforeIdentify(port)) {
    cycle.end = CycleEnd::kStopped;
  } else {
    cycle.choice = ChooseByIdentify(port, steps);
    if (!cycle.choice.dialect) cycle.end = CycleEnd::kUnknownModel;
  }
  if (cycle.choice.dialect) {
    cycle.end = CycleEnd::kRan;
    body(*cycle.choice.dialect, port);
  }
  port.Close();
  return cycle;
}

}  // namespace kestrum
