// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_guard.h"

void CommandGuard::Cover(QWidget* area) {
  areas_.emplace_back(area);
}

bool CommandGuard::Run(const std::function<void()>& command) {
  if (busy_) return false;
  busy_ = true;
  SetAreasEnabled(false);
  // Also when the command throws: the window must not stay locked.
  struct Release {
    CommandGuard& guard;
    ~Release() {
      guard.SetAreasEnabled(true);
      guard.busy_ = false;
    }
  } release{*this};
  command();
  return true;
}

void CommandGuard::SetAreasEnabled(bool enabled) {
  for (const QPointer<QWidget>& area : areas_) {
    if (area) area->setEnabled(enabled);
  }
}
