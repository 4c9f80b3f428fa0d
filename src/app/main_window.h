#pragma once
// The main window: menu, toolbar, chart and status bar, and the handlers the
// message loop calls for every click, pick and timer tick.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <cstdint>
#include <memory>

#include "app/file_dialogs.h"
#include "app/status_panels.h"
#include "app/user_prompts.h"
#include "records/measurement_store.h"

class QCustomPlot;

// What the window talks to outside itself; tests put answering fakes here.
struct WindowServices {
  kestrum::MeasurementStore* store = nullptr;  // null: the program's store
  UserPrompts* prompts = nullptr;     // null: real message boxes
  FileDialogs* dialogs = nullptr;     // null: real file and print dialogs
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(const WindowServices& services = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  kestrum::MeasurementStore& Store() { return *store_; }
  UserPrompts& Prompts() { return *prompts_; }
  FileDialogs& Dialogs() { return *dialogs_; }

  // Main menu.
  QMenu* MainMenu = nullptr;
  QAction* Open1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* Print1 = nullptr;
  QAction* Exit1 = nullptr;
  QMenu* View1 = nullptr;
  QAction* PulseDistribution1 = nullptr;
  QAction* PulseDistributionandMean1 = nullptr;
  QAction* PulseDistributionMeanandmeanError1 = nullptr;
  QAction* MeanandmeanError1 = nullptr;
  QAction* Mean1 = nullptr;
  QAction* Temperature = nullptr;
  QAction* Humidity = nullptr;
  QAction* Pressure = nullptr;
  QMenu* HelpMenu = nullptr;
  QAction* About1 = nullptr;

  // Toolbar.
  QWidget* ToolBar1 = nullptr;
  QToolButton* Open_SB = nullptr;
  QToolButton* Save_SB = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton7 = nullptr;
  QToolButton* Level_button = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* ERASE_BTN = nullptr;
  QLabel* Label3 = nullptr;
  QComboBox* ComboBox3 = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* ComboBox2 = nullptr;

  QCustomPlot* Chart1 = nullptr;
  StatusPanels* StatusBar1 = nullptr;

  // View flags held by check boxes that are never shown; a change runs the handler.
  QCheckBox* PulseDistError_CheckBox = nullptr;
  QCheckBox* MeanError_CheckBox = nullptr;

  FileDialogSetup OpenDialog1;
  FileDialogSetup SaveDialog1;
  QString LastFileName;

  QTimer* Timer2 = nullptr;
  QTimer* SB_Timer = nullptr;

  // Index of the run chosen in ComboBox3.
  std::uint8_t SelectedRun = 0;

 public slots:
  void FormCreate();
  void Exit1Click();
  void About1Click();

  void Open1Click();
  void Save1Click();
  void Print1Click();

  void Dump_BtnClick();
  void Level_buttonClick();
  void SpeedButton3Click();
  void ERASE_BTNClick();

  void ComboBox3Change();
  void ComboBox2Change();
  void PulseDistError_CheckBoxClick();
  void MeanError_CheckBoxClick();
  void PulseDistribution1Click();
  void PulseDistributionandMean1Click();
  void PulseDistributionMeanandmeanError1Click();
  void MeanandmeanError1Click();
  void Mean1Click();
  void TemperatureClick();
  void HumidityClick();
  void PressureClick();
  void Meanonchart1Click();
  void Chart1DblClick();
  void titleClick();

  void Timer2Timer();
  void SB_TimerTimer();

 private:
  void BuildMenu();
  void BuildToolBar();
  void BuildChart();
  void BuildTimers();
  QToolButton* AddToolButton(const char* name, int x, int width, const QString& hint,
                             const QString& glyph);

  kestrum::MeasurementStore* store_;
  std::unique_ptr<UserPrompts> ownPrompts_;
  std::unique_ptr<FileDialogs> ownDialogs_;
  UserPrompts* prompts_;
  FileDialogs* dialogs_;
};

// The program's single main window.
extern TForm1* Form1;
