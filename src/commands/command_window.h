// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the instrument commands tell while they run, and the questions they
// ask. The main window implements it with its widgets; kestrum-tool
// implements it on the terminal. What a command's end means for the window's
// buttons and timers the window derives from its outcome.

#include <cstdint>
#include <string>

namespace kestrum {

class CommandWindow {
 public:
  virtual ~CommandWindow() = default;

  // The progress and result text of the current command (status panel 1).
  virtual void SetProgressText(const std::string& text) = 0;
  // Paints the status bar at once: a command blocks the thread.
  virtual void RepaintStatusBar() = 0;
  // Question icon, OK and Cancel; true for OK.
  virtual bool Confirm(const std::string& text) = 0;
  // The same with Cancel as the default button, for questions where OK loses data.
  virtual bool ConfirmCancelDefault(const std::string& text) { return Confirm(text); }

  // The one event sink of a command: its progress, waits and cancels all
  // come here, through the port (instrument_port.h).

  // Around the one long read of a download (the memory image), and the bytes
  // as they arrive; false from TransferProgress cancels the download, which
  // ends as cancelled.
  virtual void MemoryTransferBegins(std::uint32_t /*requested*/) {}
  virtual bool MemoryTransferProgress(std::uint32_t /*received*/, std::uint32_t /*requested*/) {
    return true;
  }
  virtual void MemoryTransferEnds() {}
  // Around the erase's long waits (5 s, 15 s), with a tick each second.
  virtual void LongWaitBegins(int /*milliseconds*/) {}
  virtual void LongWaitTick(int /*elapsedMs*/, int /*totalMs*/) {}
  virtual void LongWaitEnds() {}
  // Around the wait for an instrument still sending after a broken-off
  // transfer, with the bytes thrown away so far; false from DrainProgress
  // cancels the command.
  virtual void DrainBegins() {}
  virtual bool DrainProgress(std::uint32_t /*drained*/) { return true; }
  virtual void DrainEnds() {}
};

// Shows nothing and answers no to every question: for a command run where
// nobody watches (the trigger dialog without its window).
class SilentWindow : public CommandWindow {
 public:
  void SetProgressText(const std::string&) override {}
  void RepaintStatusBar() override {}
  bool Confirm(const std::string&) override { return false; }
};

}  // namespace kestrum
