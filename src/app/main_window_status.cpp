// SPDX-License-Identifier: GPL-3.0-or-later
// The status-bar message timer: command results vanish one second after they
// are posted; an open failure stays until the next command.
#include "app/main_window.h"

void TForm1::SB_TimerTimer() {
  if (keptStatus_.isEmpty() || StatusBar1->Text(1) != keptStatus_) StatusBar1->SetText(1, "      ");
  SB_Timer->stop();
}

void TForm1::StartStatusTimer() {
  // Starting it while it runs does not restart its interval.
  if (!SB_Timer->isActive()) SB_Timer->start();
}
