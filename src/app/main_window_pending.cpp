// Handlers whose work lands with the download, views and instrument commands.
#include "app/main_window.h"

void TForm1::Dump_BtnClick() {}
void TForm1::Level_buttonClick() {}
void TForm1::SpeedButton3Click() {}
void TForm1::ERASE_BTNClick() {}
