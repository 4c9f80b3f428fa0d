// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/instrument_session.h"

#include "commands/parameter_block.h"
#include "emulator/emulation_setup.h"
#include "emulator/fault_option.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_trace.h"
#include "tool/tool_output.h"

namespace kestrum::tool {
namespace {

// Detection's attachment text only matters for its permission hint.
class AttachmentLine : public DetectionWindow {
 public:
  void SetAttachmentText(const std::string& text) override { text_ = text; }
  void SetButtonEnabled(InstrumentButton, bool) override {}
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace

InstrumentSession::~InstrumentSession() {
  SetPortTraceSink({});
  // A command cut short still leaves its log behind, as far as it goes.
  if (!finished_ && tracePath_) (void)WriteToolOutput(*tracePath_, trace_, io_);
  if (bus_) StopEmulation();
  SetFtDriver(nullptr);
}

bool InstrumentSession::Start(const InstrumentOptions& options) {
  // The state a freshly started program has.
  ResetD2XXUnitState();
  ResetInstrumentDetection();
  ParameterBlock.fill(0);

  if (!options.faults.empty() && options.emulate.empty()) {
    io_.err << Prefix() << "--fault needs an emulated instrument (--emulate)\n";
    return false;
  }
  if (!options.emulate.empty()) {
    auto started = StartEmulation(options.emulate, TimeMode::kInstant);
    if (!started) {
      io_.err << Prefix() << started.error() << "\n";
      return false;
    }
    bus_ = std::move(started).value();
    ApplyFaultOptions(options.faults, *bus_);
  } else {
    usb_ = std::make_unique<LibFtdiDriver>();
    SetFtDriver(usb_.get());
  }
  if (options.trace) {
    tracePath_ = options.trace;
    SetPortTraceSink([this](const std::string& line) { trace_ += line + "\n"; });
  }
  return true;
}

int InstrumentSession::NotOpened(const std::string& why) {
  io_.err << Prefix() << "cannot open the instrument" << (why.empty() ? "" : ": " + why) << "\n";
  return Finish(kExitFailure);
}

int InstrumentSession::UnknownModel() {
  io_.err << Prefix() << "the instrument did not answer as a K5, K6 or K7\n";
  return Finish(kExitFailure);
}

int InstrumentSession::Cancelled() {
  io_.err << Prefix() << "cancelled; nothing was sent\n";
  return Finish(kExitNoResult);
}

int InstrumentSession::Finish(int exitCode) {
  finished_ = true;
  SetPortTraceSink({});
  if (!tracePath_) return exitCode;
  const Result<> written = WriteToolOutput(*tracePath_, trace_, io_);
  if (written) return exitCode;
  io_.err << Prefix() << "cannot write the trace file " << *tracePath_ << ": " << written.error()
          << "\n";
  return kExitFailure;
}

bool InstrumentSession::SelectInstrument(const InstrumentOptions& options) {
  if (!options.serial) {
    AttachmentLine panel;
    DetectInstrument(panel);
    if (InstrumentAttached) return true;
    io_.err << Prefix() << "no Kestrum attached";
    if (panel.Text() == kUsbPermissionHint) io_.err << " (" << kUsbPermissionHint << ")";
    io_.err << "\n";
    return false;
  }
  GetFTDeviceCount();
  for (std::uint32_t index = 0; index < FTDeviceCount; ++index) {
    if (GetFTDeviceSerialNo(index) != FT_OK || FTDeviceString != *options.serial) continue;
    if (GetFTDeviceDescription(index) != FT_OK || !IsAcceptedDescription(FTDeviceString)) {
      io_.err << Prefix() << "the converter " << *options.serial << " (\"" << FTDeviceString
              << "\") is no Kestrum\n";
      return false;
    }
    SelectedInstrument = {*options.serial, FTDeviceString};
    InstrumentAttached = true;
    return true;
  }
  io_.err << Prefix() << "no converter with serial number " << *options.serial << "\n";
  return false;
}

}  // namespace kestrum::tool
