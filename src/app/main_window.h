// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: menu, toolbar, chart and status bar, and the handlers the
// message loop calls for every click, pick and timer tick.
//
// The window keeps the form names of the program's description (they are how
// its tests and the description meet); everything outside src/app speaks of
// the same things by their roles:
//
//   form name                role outside src/app
//   SpeedButton7             download button, InstrumentButton::kDownload
//   SpeedButton3             clock button, InstrumentButton::kClockSync
//   ERASE_BTN                erase button, InstrumentButton::kErase
//   Level_button             trigger-level button, InstrumentButton::kTriggerLevel
//   SpeedButton1, Open_SB,   print, open and save buttons (window only)
//     Save_SB
//   ComboBox3                run list ("Select Measurement")
//   ComboBox2                mean-interval box (interval_table.h)
//   Chart1                   KestrumChart, the main chart
//   Series1 .. Series6       KestrumChart::TemperatureLine, MeanLine, MeanErrorBars,
//                            PulseBars, HumidityLine, PressureLine
//   StatusBar1 panel 0       DetectionWindow::SetAttachmentText
//   StatusBar1 panel 1       CommandWindow::SetProgressText
//   StatusBar1 panel 2       the last instrument command's outcome (window only)
//   SB_Timer                 TForm1::StartStatusTimer (the status timer)
//   Memo1                    MeasurementStore::diagnosticText (starts "Memo1",
//                            written to "debug.tmp")

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "app/activity_dock.h"
#include "app/chart_additions_menu.h"
#include "app/command_guard.h"
#include "app/command_progress.h"
#include "app/emulation_menu.h"
#include "app/file_dialogs.h"
#include "app/history_window.h"
#include "app/save_filters.h"
#include "app/status_panels.h"
#include "app/summary_dock.h"
#include "app/user_prompts.h"
#include "commands/command_window.h"
#include "commands/measurement_download.h"
#include "history/history_store.h"
#include "records/image_decoder.h"
#include "records/measurement_store.h"
#include "records/result.h"
#include "views/gui/kestrum_chart.h"
#include "views/model_channels.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

// What the window talks to outside itself; tests put answering fakes here.
struct WindowServices {
  kestrum::MeasurementStore* store = nullptr;  // null: the program's store
  UserPrompts* prompts = nullptr;              // null: real message boxes
  FileDialogs* dialogs = nullptr;              // null: real file and print dialogs
  // The PC's local date and time; empty: the real clock.
  std::function<kestrum::DateTime()> now;
};

// Saving a picture of the chart or printing it while no chart is shown.
inline constexpr char kNoChartShownMessage[] =
    "No chart is shown: choose a measurement in \"Select Measurement\" first.";

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(const WindowServices& services = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  kestrum::MeasurementStore& Store() { return *store_; }
  UserPrompts& Prompts() { return *prompts_; }
  FileDialogs& Dialogs() { return *dialogs_; }
  kestrum::DateTime Now() const { return now_(); }
  CommandProgress& Progress() { return *progress_; }
  // What the instrument commands show on this window: their one event sink.
  kestrum::CommandWindow& CommandEvents();
  // What every decode of this window works with: now, the current directory, regional separators.
  kestrum::DecodeContext DecodeContextNow() const;

  // Main menu.
  QMenu* MainMenu = nullptr;
  QAction* Open1 = nullptr;
  QMenu* OpenRecent1 = nullptr;   // the data files opened or saved last
  QAction* Downloads1 = nullptr;  // the kept downloads
  QAction* History1 = nullptr;    // the measurement history window
  // The opened data file into the history; on only while one is shown.
  QAction* AddToHistory1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* Print1 = nullptr;
  QAction* Report1 = nullptr;
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
  // The toolbar's instrument commands, after View; each entry follows its
  // button's enabled and visible state.
  QMenu* Instrument1 = nullptr;
  QAction* DownloadMeasurements1 = nullptr;
  QAction* SynchroniseClock1 = nullptr;
  QAction* Erase1 = nullptr;
  QAction* TriggerLevel1 = nullptr;
  // Instrument > Use: the attached instruments, the one the commands reach
  // checked.
  QMenu* Use1 = nullptr;
  QMenu* HelpMenu = nullptr;
  QAction* About1 = nullptr;
  // The View menu's chart additions and the summary beside the chart.
  ChartAdditionsMenu* ChartAdditions = nullptr;
  SummaryDock* Summary = nullptr;
  // View > Activity and its dock, the latest entries of the activity log.
  QAction* Activity1 = nullptr;
  ActivityDock* Activity = nullptr;
  // Made at the first Main > History...
  HistoryWindow* HistoryWin = nullptr;
  // The data file's name, or the kept download's with the time and the converter.
  QString MeasurementOrigin;
  // Only with --emulate; the last menu.
  EmulationMenu* Emulation = nullptr;

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

  kestrum::KestrumChart* Chart1 = nullptr;
  StatusPanels* StatusBar1 = nullptr;

  // View flags held by check boxes that are never shown; a change runs the handler.
  QCheckBox* PulseDistError_CheckBox = nullptr;
  QCheckBox* MeanError_CheckBox = nullptr;

  FileDialogSetup OpenDialog1;
  FileDialogSetup SaveDialog1;
  // The data file the measurements shown were opened from or last saved to;
  // empty after a download until it is saved. Exports never change it.
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
  void Downloads1Click();
  void Save1Click();
  void Print1Click();
  void Report1Click();
  void History1Click();
  void AddToHistory1Click();

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

 public:
  using Handler = void (TForm1::*)();
  // Runs a command's handler through the one-command guard; false when
  // another command is running. The command controls are wired through it.
  bool RunCommand(Handler handler);
  // Opens a data file as Main > Open does once the file is chosen, through
  // the same guard. A name that cannot be used is refused with a message.
  void OpenDataFileNamed(const QString& path);
  // The same for a name as the system's bytes (the program's file argument).
  void OpenLocalDataFile(const std::string& localName);
  // Main > Open Recent: opens the file, or takes it off the list with a
  // message when it has gone.
  void OpenRecentFile(const QString& path);
  // Adds the Emulation menu for the instruments on `bus`.
  void AddEmulationMenu(kestrum::EmulatedBus& bus);
  // Opens the measurement history unless that was tried already: a
  // zero-delay timer does it once the window shows, and the first command
  // that records does it if it comes first. A failure or the store's notice
  // goes to status panel 1.
  void OpenHistory();
  // The history, opened if need be; null when it could not be opened.
  kestrum::HistoryStore* History();
  // The dialogs and the history a long-term protocol takes its profile from.
  ProfileSources ProfileSourcesOfWindow();
  // Shades the hours the chosen protocol leaves out of its mean and, while
  // the summary is shown, marks the hours whose conditions changed.
  void ShadeLeftOutHours();
  // What Save proposes with each of its filters, in their order.
  QStringList SaveProposals() const;

 private:
  void closeEvent(QCloseEvent* event) override;
  // A dropped ".Rn" file is opened as Main > Open does.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void RebuildRecentMenu();
  void ConnectCommand(QAction* action, Handler handler);
  void ConnectCommand(QAbstractButton* button, Handler handler);
  void DetectAttachedInstrument();
  // Window state after a download or an opened file was decoded.
  void ShowDecodeResult(const kestrum::DecodeResult& result);
  // What Open hides and disables first; an unreadable file brings it back.
  struct ScreenBeforeOpen {
    bool chartShown;
    bool downloadEnabled;
    bool temperatureEnabled;
    bool humidityEnabled;
  };
  ScreenBeforeOpen HideForOpen();
  // localName: the file's name as the system's bytes, or why it cannot be used.
  void OpenChosenFile(const kestrum::Result<std::string>& localName,
                      const ScreenBeforeOpen& before);
  void ClearViewSeries();
  // Hides the chart and empties its series and footer, so nothing of it can
  // be seen, saved or printed any more.
  void ClearChart();
  // The environmental lines to draw: checked in the View menu and measured by the model.
  kestrum::ModelChannels ChannelsShown() const;
  // Puts the check mark on one of the five view entries and takes it from the others.
  void CheckViewEntry(QAction* entry);
  void ShowPulseDistribution(std::uint8_t run);
  // Picks `item` in ComboBox2 unless the user has chosen one.
  void ChooseDefaultInterval(int item);
  void DrawMeanPressureLine();
  // Runs the handler of the view entry that carries the check mark.
  void RedrawCheckedView();
  // Saves the chart as a picture for the save dialog's picture filters.
  kestrum::Result<> ExportChart(const QString& path, int filterIndex);
  void BuildChartAdditions();
  void ApplyChartAdditions();
  // The summary dock and the cursor readout for what the chart now shows.
  void RefreshChartAdditions();
  kestrum::MeasurementSource SourceOfMeasurements() const;
  // The chart's visible time when zoomed, else all time.
  kestrum::TimeRange ShownTimeRange() const;
  kestrum::RunSummary SummaryOfShownRange() const;
  // The test report of the shown run (the visible part when zoomed).
  kestrum::Result<> SaveTestReportOfShownRun(const kestrum::ReportDetails& details,
                                             const std::string& path);
  kestrum::ModelChannels ChannelsMeasured() const;
  void SetRunToolTips();
  void NoteDownloadOrigin(const std::optional<kestrum::Result<kestrum::KeptDownload>>& kept);
  void BuildMenu();
  void BuildHistoryEntries();
  // Records what a command did in the activity log; a problem goes to
  // status panel 1.
  void NoteCommand(const char* kind, std::uint8_t modelCode, const std::string& text);
  void NoteEntry(const char* kind, const std::string& instrument, const std::string& text);
  // After an entry was recorded or runs were imported.
  void HistoryChanged();
  // The dock's newest entries, or why they could not be read.
  void ShowLatestActivity(kestrum::HistoryStore& history);
  void BuildToolBar();
  void BuildInstrumentMenu();
  void FillUseMenu();
  // The trigger-level button is for the instrument whose download set it up.
  void FollowChosenInstrument();
  // After a download: no file holds the measurements yet.
  void NameDownload(kestrum::InstrumentModel model);
  // A failed open's reason in panel 1, where it stays until the next command.
  void ShowOpenFailure(const std::string& reason);
  // The status timer blanks the command's text one tick later.
  void StartStatusTimer();
  // The last instrument command's outcome, in panel 2.
  void ShowOutcome(const std::string& text);
  QString HourMinuteNow() const;
  void BuildChart();
  void BuildTimers();
  QToolButton* AddToolButton(const char* name, int x, int width, const QString& hint,
                             const QString& glyph);

  kestrum::MeasurementStore* store_;
  std::unique_ptr<UserPrompts> ownPrompts_;
  std::unique_ptr<FileDialogs> ownDialogs_;
  UserPrompts* prompts_;
  FileDialogs* dialogs_;
  std::function<kestrum::DateTime()> now_;
  std::unique_ptr<CommandProgress> progress_;
  std::unique_ptr<kestrum::CommandWindow> commandEvents_;
  CommandGuard commands_;
  std::unique_ptr<kestrum::HistoryStore> history_;
  bool historyTried_ = false;
  std::string historyProblem_;  // why there is no history
  std::string lastFilePath_;    // LastFileName as the system's bytes
  // "K5-20261208-1405" while the measurements come from a download not yet saved.
  QString downloadStem_;
  // The last file saved of each export type in this session.
  std::map<kestrum::SaveKind, QString> lastExports_;
  // An open failure shown in panel 1; the status timer leaves it.
  QString keptStatus_;
  // The instrument the trigger-level button was shown for, and the one
  // detection took last.
  std::string levelSerial_;
  std::string detectedSerial_;
};

// The program's single main window.
extern TForm1* Form1;
