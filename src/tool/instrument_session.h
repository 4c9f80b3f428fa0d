// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every instrument command of kestrum-tool does around the command
// itself: emulated instruments (in instant virtual time) or the real USB
// bus, the optional protocol log, and choosing the instrument as the
// program's detection does or by its serial number.

#include <memory>
#include <optional>
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

  // Installs the driver (with the --fault plans) and, with --trace, the
  // protocol log. False (with a message on stderr) when an --emulate
  // argument is bad or --fault comes without --emulate.
  bool Start(const InstrumentOptions& options);

  // Writes the protocol log, if asked for, and returns exitCode, or
  // kExitFailure (with the reason on stderr) when the log was not written.
  int Finish(int exitCode);

  // The ends the clock, erase and level commands share, said alike, then
  // Finish: the open failed (why, as the open said it; may be empty), the
  // answer named no K5-K7 (both exit 2), the user said no (exit 1).
  int NotOpened(const std::string& why);
  int UnknownModel();
  int Cancelled();

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
  // The log is kept in memory and written whole at the end, like every file.
  std::optional<std::string> tracePath_;
  std::string trace_;
  bool finished_ = false;
};

}  // namespace kestrum::tool
