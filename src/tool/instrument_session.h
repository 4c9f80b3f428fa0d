#pragma once
// What every instrument command of kestrum-tool does around the command
// itself: emulated instruments (in instant virtual time) or the real USB
// bus, the optional protocol log, and choosing the instrument as the
// program's detection does or by its serial number.

#include <fstream>
#include <memory>
#include <string>

#include "emulator/emulated_bus.h"
#include "link/libftdi_driver.h"
#include "tool/instrument_options.h"
#include "tool/tool_command.h"

namespace kestrum::tool {

class InstrumentSession {
 public:
  InstrumentSession(const char* command, ToolIo& io) : command_(command), io_(io) {}
  ~InstrumentSession();
  InstrumentSession(const InstrumentSession&) = delete;
  InstrumentSession& operator=(const InstrumentSession&) = delete;

  // Installs the driver and, with --trace, the protocol log. False (with a
  // message on stderr) when an --emulate argument or the trace file is bad.
  bool Start(const InstrumentOptions& options);

  // Sets SelectedInstrument and InstrumentAttached. False (with a message)
  // when no Kestrum is attached or none has the serial number.
  bool SelectInstrument(const InstrumentOptions& options);

  // "kestrum-tool <command>: " for messages.
  std::string Prefix() const { return std::string("kestrum-tool ") + command_ + ": "; }

 private:
  const char* command_;
  ToolIo& io_;
  std::unique_ptr<EmulatedBus> bus_;
  std::unique_ptr<LibFtdiDriver> usb_;
  std::ofstream trace_;
};

}  // namespace kestrum::tool
