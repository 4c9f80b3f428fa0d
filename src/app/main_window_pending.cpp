// Handlers whose work lands with the download, views and instrument commands.
#include "app/main_window.h"

void TForm1::Open1Click() {}
void TForm1::Save1Click() {}
void TForm1::Print1Click() {}
void TForm1::Dump_BtnClick() {}
void TForm1::Level_buttonClick() {}
void TForm1::SpeedButton3Click() {}
void TForm1::ERASE_BTNClick() {}
void TForm1::ComboBox3Change() {}
void TForm1::ComboBox2Change() {}
void TForm1::PulseDistError_CheckBoxClick() {}
void TForm1::MeanError_CheckBoxClick() {}
void TForm1::PulseDistribution1Click() {}
void TForm1::PulseDistributionandMean1Click() {}
void TForm1::PulseDistributionMeanandmeanError1Click() {}
void TForm1::MeanandmeanError1Click() {}
void TForm1::Mean1Click() {}
void TForm1::TemperatureClick() {}
void TForm1::HumidityClick() {}
void TForm1::PressureClick() {}
void TForm1::Meanonchart1Click() {}
void TForm1::Chart1DblClick() {}
void TForm1::titleClick() {}
void TForm1::Timer2Timer() {}
