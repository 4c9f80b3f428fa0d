// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "commands/command_cycle.h"

#include <qcustomplot.h>
#include <QApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

#include "app/about_box.h"
#include "app/app_settings.h"
#include "app/save_filters.h"
#include "app/window_memory.h"
#include "link/instrument_detection.h"
#include "records/date_time.h"

TForm1* Form1 = nullptr;

// The glyphs and the banner are compiled into this static library; it must
// register them itself.
static void InitResources() {
  Q_INIT_RESOURCE(resources);
}

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

QFont PixelFont(int pixels) {
  QFont font("MS Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  return font;
}

QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

}  // namespace

TForm1::TForm1(const WindowServices& services, QWidget* parent)
    : QMainWindow(parent),
      store_(services.store ? services.store : &kestrum::ProgramStore()),
      ownPrompts_(services.prompts ? nullptr : std::make_unique<MessageBoxPrompts>(this)),
      ownDialogs_(services.dialogs ? nullptr : std::make_unique<QtFileDialogs>(this)),
      prompts_(services.prompts ? services.prompts : ownPrompts_.get()),
      dialogs_(services.dialogs ? services.dialogs : ownDialogs_.get()),
      now_(services.now ? services.now : kestrum::CurrentLocalDateTime),
      progress_(std::make_unique<CommandProgress>(this)) {
  InitResources();
  setObjectName("Form1");
  setWindowTitle("Kestrum  Computer Interface Version 2.21");
  setFont(PixelFont(11));
  QPalette silver = palette();
  silver.setColor(QPalette::Window, kSilver);
  silver.setColor(QPalette::Button, kSilver);
  // Greyed captions must stay readable on silver.
  silver.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  silver.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
  silver.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
  setPalette(silver);
  setAutoFillBackground(true);
  setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

  OpenDialog1 = {{"Rn Data File (*.Rn)"}, "*.Rn", "RnData"};
  SaveDialog1 = {kestrum::SaveFilterTexts(), "*.Rn", "RnData"};

  BuildMenu();
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildToolBar();
  layout->addWidget(ToolBar1);
  BuildChart();
  auto* chartArea = new QWidget(central);
  auto* chartLayout = new QVBoxLayout(chartArea);
  chartLayout->setContentsMargins(0, 0, 0, 0);
  chartLayout->addWidget(Chart1);
  layout->addWidget(chartArea, 1);
  setCentralWidget(central);
  // The keyboard's way: the toolbar's buttons, the run list, the means, the chart.
  QWidget* previous = Open_SB;
  for (QWidget* next :
       std::initializer_list<QWidget*>{Save_SB, SpeedButton1, SpeedButton7, Level_button,
                                       SpeedButton3, ERASE_BTN, ComboBox3, ComboBox2, Chart1}) {
    setTabOrder(previous, next);
    previous = next;
  }

  StatusBar1 = new StatusPanels(this);
  setStatusBar(StatusBar1);
  commands_.Cover(menuBar());
  commands_.Cover(ToolBar1);

  PulseDistError_CheckBox = new QCheckBox(this);
  PulseDistError_CheckBox->setObjectName("PulseDistError_CheckBox");
  PulseDistError_CheckBox->hide();
  connect(PulseDistError_CheckBox, &QCheckBox::toggled, this,
          &TForm1::PulseDistError_CheckBoxClick);
  MeanError_CheckBox = new QCheckBox(this);
  MeanError_CheckBox->setObjectName("MeanError_CheckBox");
  MeanError_CheckBox->hide();
  connect(MeanError_CheckBox, &QCheckBox::toggled, this, &TForm1::MeanError_CheckBoxClick);

  BuildTimers();
  BuildChartAdditions();
  BuildHistoryEntries();
  BuildInstrumentMenu();

  resize(1033, 587);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), QSize(1033, 587));
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  kestrum::RestoreWindowPlacement(*this);
  kestrum::RestoreViewChoices(*this);
  setAcceptDrops(true);
  FormCreate();
  // Said once: from now on nothing the window remembers outlives the run.
  if (const std::optional<QString> problem = kestrum::SettingsProblem())
    StatusBar1->SetText(1, *problem);
  // Not in the way of the window's first showing.
  QTimer::singleShot(0, this, &TForm1::OpenHistory);
}

TForm1::~TForm1() {
  // Before the history it reads from.
  delete HistoryWin;
  HistoryWin = nullptr;
}

void TForm1::BuildMenu() {
  MainMenu = menuBar()->addMenu("&Main");
  Open1 = AddMenuItem(MainMenu, "Open1", "Open");
  OpenRecent1 = MainMenu->addMenu("Open Recent");
  OpenRecent1->setObjectName("OpenRecent1");
  Downloads1 = AddMenuItem(MainMenu, "Downloads1", "Downloads\u2026");
  Save1 = AddMenuItem(MainMenu, "Save1", "Save");
  Save1->setEnabled(false);
  Print1 = AddMenuItem(MainMenu, "Print1", "Print");
  Report1 = AddMenuItem(MainMenu, "Report1", "Report\u2026");
  Exit1 = AddMenuItem(MainMenu, "Exit1", "Exit");

  View1 = menuBar()->addMenu("View");
  View1->setObjectName("View1");
  View1->setEnabled(false);
  PulseDistribution1 = AddMenuItem(View1, "PulseDistribution1", "Pulse Distribution");
  PulseDistributionandMean1 =
      AddMenuItem(View1, "PulseDistributionandMean1", "Pulse Distribution and Mean");
  PulseDistributionMeanandmeanError1 = AddMenuItem(View1, "PulseDistributionMeanandmeanError1",
                                                   "Pulse Distribution, Mean and mean Error");
  MeanandmeanError1 = AddMenuItem(View1, "MeanandmeanError1", "Mean and mean Error");
  Mean1 = AddMenuItem(View1, "Mean1", "Mean");
  // "&&" shows one ampersand; a single one would mark the blank after it as the mnemonic.
  Temperature = AddMenuItem(View1, "Temperature", "Temperature (K6 && K7)");
  Humidity = AddMenuItem(View1, "Humidity", "Humidity (K6 && K7)");
  Pressure = AddMenuItem(View1, "Pressure", "Pressure (K7)");
  for (QAction* item :
       {PulseDistribution1, PulseDistributionandMean1, PulseDistributionMeanandmeanError1,
        MeanandmeanError1, Mean1, Temperature, Humidity, Pressure}) {
    item->setCheckable(true);
  }
  PulseDistribution1->setChecked(true);
  Temperature->setEnabled(false);
  Humidity->setEnabled(false);

  HelpMenu = menuBar()->addMenu("Help");
  About1 = AddMenuItem(HelpMenu, "About1", "About");

  // The desktop's usual keys; the captions stay as they are.
  Open1->setShortcut(QKeySequence::Open);
  Save1->setShortcut(QKeySequence::Save);
  Print1->setShortcut(QKeySequence::Print);
  // Platforms without a quit key of their own (Windows-like themes) get the usual one.
  QList<QKeySequence> quit = QKeySequence::keyBindings(QKeySequence::Quit);
  if (quit.isEmpty()) quit = {QKeySequence(Qt::CTRL | Qt::Key_Q)};
  Exit1->setShortcuts(quit);
  About1->setShortcut(Qt::Key_F1);

  ConnectCommand(Open1, &TForm1::Open1Click);
  ConnectCommand(Downloads1, &TForm1::Downloads1Click);
  RebuildRecentMenu();
  ConnectCommand(Save1, &TForm1::Save1Click);
  ConnectCommand(Print1, &TForm1::Print1Click);
  ConnectCommand(Report1, &TForm1::Report1Click);
  connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
  connect(PulseDistribution1, &QAction::triggered, this, &TForm1::PulseDistribution1Click);
  connect(PulseDistributionandMean1, &QAction::triggered, this,
          &TForm1::PulseDistributionandMean1Click);
  connect(PulseDistributionMeanandmeanError1, &QAction::triggered, this,
          &TForm1::PulseDistributionMeanandmeanError1Click);
  connect(MeanandmeanError1, &QAction::triggered, this, &TForm1::MeanandmeanError1Click);
  connect(Mean1, &QAction::triggered, this, &TForm1::Mean1Click);
  // The menu has already inverted the check mark when these fire; the
  // handlers themselves invert it for callers other than the menu.
  connect(Temperature, &QAction::triggered, this, &TForm1::RedrawCheckedView);
  connect(Humidity, &QAction::triggered, this, &TForm1::RedrawCheckedView);
  connect(Pressure, &QAction::triggered, this, &TForm1::RedrawCheckedView);
  for (QAction* line : {Temperature, Humidity, Pressure})
    connect(line, &QAction::triggered, this, [this] { kestrum::SaveViewChoices(*this); });
  connect(About1, &QAction::triggered, this, &TForm1::About1Click);
}

void TForm1::AddEmulationMenu(kestrum::EmulatedBus& bus) {
  // A child of the menu bar, so the command guard greys it with the others.
  Emulation = new EmulationMenu(bus, Prompts(), menuBar());
  menuBar()->addMenu(Emulation);
}

QToolButton* TForm1::AddToolButton(const char* name, int x, int width, const QString& hint,
                                   const QString& glyph) {
  auto* button = new QToolButton(ToolBar1);
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setGeometry(x, 2, width, 25);
  button->setToolTip(hint);
  // The disabled look comes from Qt's greyed icon mode.
  button->setIcon(QIcon(glyph));
  button->setIconSize(QSize(20, 20));
  return button;
}

void TForm1::BuildToolBar() {
  ToolBar1 = new QWidget(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setFixedHeight(30);
  Open_SB = AddToolButton("Open_SB", 0, 25, "Load Saved Measurements", ":/glyphs/open.svg");
  Save_SB = AddToolButton("Save_SB", 25, 25, "Save Measurements", ":/glyphs/save.svg");
  Save_SB->setEnabled(false);
  SpeedButton1 = AddToolButton("SpeedButton1", 50, 30, "Print Graph", ":/glyphs/print.svg");
  SpeedButton7 = AddToolButton("SpeedButton7", 80, 30, "Load measurements from Kestrum",
                               ":/glyphs/download.svg");
  SpeedButton7->setEnabled(false);
  Level_button = AddToolButton("Level_button", 110, 27, "Set trigger Level", ":/glyphs/level.svg");
  Level_button->setEnabled(false);
  SpeedButton3 = AddToolButton("SpeedButton3", 137, 30, "Syncronize Kestrum  Clock with PC",
                               ":/glyphs/clock.svg");
  ERASE_BTN = AddToolButton("ERASE_BTN", 167, 30, "Erase Kestrum", ":/glyphs/erase.svg");

  Label3 = new QLabel("      Measurement ", ToolBar1);
  Label3->setObjectName("Label3");
  Label3->setFont(PixelFont(13));
  Label3->setGeometry(220, 4, 103, 21);
  // Wider fonts than the original's would push the caption under the combo box.
  Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  ComboBox3 = new QComboBox(ToolBar1);
  ComboBox3->setObjectName("ComboBox3");
  ComboBox3->setGeometry(323, 3, 224, 23);
  ComboBox3->setToolTip("Select Measurement");
  ComboBox3->setPlaceholderText("Select  Measurement");
  ComboBox3->setMaxVisibleItems(60);
  ComboBox3->setFont(PixelFont(13));
  ComboBox3->setEnabled(false);

  Label2 = new QLabel("  Mean ", ToolBar1);
  Label2->setObjectName("Label2");
  Label2->setGeometry(547, 4, 36, 21);

  ComboBox2 = new QComboBox(ToolBar1);
  ComboBox2->setObjectName("ComboBox2");
  ComboBox2->setGeometry(583, 3, 73, 23);
  ComboBox2->setToolTip("Mean");
  ComboBox2->addItems({"2h", "4h", "8h", "12h", "24h", "2d", "7d", "Mean"});
  ComboBox2->setCurrentIndex(-1);
  ComboBox2->setFont(PixelFont(13));
  ComboBox2->setEnabled(false);

  // For screen readers; the tooltips stay the program's own.
  Open_SB->setAccessibleName("Open");
  Save_SB->setAccessibleName("Save");
  SpeedButton1->setAccessibleName("Print");
  SpeedButton7->setAccessibleName("Download");
  Level_button->setAccessibleName("Trigger level");
  SpeedButton3->setAccessibleName("Synchronise clock");
  ERASE_BTN->setAccessibleName("Erase");

  ConnectCommand(Open_SB, &TForm1::Open1Click);
  ConnectCommand(Save_SB, &TForm1::Save1Click);
  ConnectCommand(SpeedButton1, &TForm1::Print1Click);
  ConnectCommand(SpeedButton7, &TForm1::Dump_BtnClick);
  ConnectCommand(Level_button, &TForm1::Level_buttonClick);
  ConnectCommand(SpeedButton3, &TForm1::SpeedButton3Click);
  ConnectCommand(ERASE_BTN, &TForm1::ERASE_BTNClick);
  // Only a user's pick runs the handlers; filling the boxes from code does not.
  connect(ComboBox3, QOverload<int>::of(&QComboBox::activated), this, &TForm1::ComboBox3Change);
  connect(ComboBox2, QOverload<int>::of(&QComboBox::activated), this, &TForm1::ComboBox2Change);
  // After the handler, which may fall back to another interval.
  connect(ComboBox2, QOverload<int>::of(&QComboBox::activated), this,
          [this] { kestrum::SaveViewChoices(*this); });
}

void TForm1::BuildChart() {
  Chart1 = new kestrum::KestrumChart(this);
  Chart1->setObjectName("Chart1");
  Chart1->hide();
  connect(Chart1, &kestrum::KestrumChart::zoomed, this, &TForm1::Meanonchart1Click);
  connect(Chart1, &kestrum::KestrumChart::undoZoomed, this, &TForm1::Meanonchart1Click);
  connect(Chart1, &kestrum::KestrumChart::doubleClicked, this, &TForm1::Chart1DblClick);
  connect(Chart1, &kestrum::KestrumChart::clicked, this, &TForm1::titleClick);
}

void TForm1::ConnectCommand(QAction* action, Handler handler) {
  connect(action, &QAction::triggered, this, [this, handler] { RunCommand(handler); });
}

void TForm1::ConnectCommand(QAbstractButton* button, Handler handler) {
  connect(button, &QAbstractButton::clicked, this, [this, handler] { RunCommand(handler); });
}

bool TForm1::RunCommand(Handler handler) {
  return commands_.Run([this, handler] {
    // An open failure was kept for the user until now.
    if (!keptStatus_.isEmpty() && StatusBar1->Text(1) == keptStatus_)
      StatusBar1->SetText(1, "      ");
    keptStatus_.clear();
    (this->*handler)();
  });
}

void TForm1::BuildTimers() {
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(1000);
  connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
  Timer2->start();

  SB_Timer = new QTimer(this);
  SB_Timer->setObjectName("SB_Timer");
  SB_Timer->setInterval(1000);
  connect(SB_Timer, &QTimer::timeout, this, &TForm1::SB_TimerTimer);
}

void TForm1::FormCreate() {
  kestrum::InstrumentAttached = false;
  DetectAttachedInstrument();
  if (auto ticker = qSharedPointerDynamicCast<QCPAxisTickerDateTime>(Chart1->xAxis->ticker())) {
    ticker->setDateTimeFormat("dd/MM hh");
  }
}

void TForm1::Exit1Click() {
  close();
}

void TForm1::About1Click() {
  if (About) About->exec();
}
