// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the instrument commands change on the main window, and the questions
// they ask. The main window implements it with its widgets; kestrum-tool
// implements it on the terminal. The command code itself uses no widgets.

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
  // The download button.
  virtual void SetDownloadButtonEnabled(bool enabled) = 0;
  // The Temperature and Humidity items of the View menu.
  virtual void SetTemperatureHumidityEnabled(bool enabled) = 0;
  // The trigger-level button becomes visible and enabled.
  virtual void ShowLevelButton() = 0;
  // The status timer, which blanks the progress text one tick later.
  virtual void StartStatusTimer() = 0;
  // Question icon, OK and Cancel; true for OK.
  virtual bool Confirm(const std::string& text) = 0;
  // The same with Cancel as the default button, for questions where OK loses data.
  virtual bool ConfirmCancelDefault(const std::string& text) { return Confirm(text); }

  // Around the one long read of a download (the memory image). The read
  // reports its progress through the port module's read progress hook,
  // which the window installs; a cancel there ends the download as an
  // incomplete transfer.
  virtual void MemoryTransferBegins(std::uint32_t /*requested*/) {}
  virtual void MemoryTransferEnds() {}
  // Around the erase's long waits (5 s, 15 s). The wait itself is one
  // WaitMilliseconds call; a sleeper made by SecondTickingSleeper lets the
  // window count the seconds meanwhile.
  virtual void LongWaitBegins(int /*milliseconds*/) {}
  virtual void LongWaitEnds() {}
};

}  // namespace kestrum
