// The status-bar message timer: command results vanish one second after they are posted.
#include "app/main_window.h"

void TForm1::SB_TimerTimer() {
  StatusBar1->SetText(1, "      ");
  SB_Timer->stop();
}
