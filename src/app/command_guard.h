// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One command at a time. Every command of the window (download, clock, erase,
// trigger level, open, save and export, print) runs through Run. While one
// runs, the areas that hold the controls starting commands (the menu bar and
// the toolbar) are disabled as a whole, so nothing can start a second command
// from the modal loop of the first: its wait box, a message box, a dialog, or
// a detection tick. The controls inside keep their own enabled state, which
// the handlers and detection go on setting; when the command ends the areas
// are enabled again and every control shows that state.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class CommandGuard {
 public:
  // An area whose controls start commands; it must be enabled at the time.
  void Cover(QWidget* area);

  bool Busy() const { return busy_; }
  // Runs `command` unless another one is running; false when refused.
  bool Run(const std::function<void()>& command);

 private:
  void SetAreasEnabled(bool enabled);

  std::vector<QPointer<QWidget>> areas_;
  bool busy_ = false;
};
