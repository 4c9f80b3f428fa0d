// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with emulated instruments on the bus: the contact watch and
// the instrument commands as the user meets them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/emulated_window_fixture.h"
#include "app/main_window.h"
#include "commands/instrument_erase.h"
#include "emulator/emulated_bus.h"
#include "emulator/fault_option.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_wait.h"
#include "records/date_time.h"
#include "records/image_generator.h"
#include "records/program_data_folder.h"

namespace {

using kestrum::InstrumentModel;

class InstrumentWindowTest : public EmulatedWindowTest {
 protected:
  void SetUp() override {
    EmulatedWindowTest::SetUp();
    waits.clear();
    // Long waits are slept a second at a time, for the window to count them.
    kestrum::SetSleeper([this, sleep = bus.MakeSleeper()](int ms) {
      if (ms == 1000) waits.push_back(ms);
      sleep(ms);
    });
  }

  bool InstrumentButtonsEnabled() const {
    return window->SpeedButton7->isEnabled() && window->SpeedButton3->isEnabled() &&
           window->ERASE_BTN->isEnabled();
  }

  std::vector<QToolButton*> CommandButtons() const {
    return {window->Open_SB,      window->Save_SB,      window->SpeedButton1, window->SpeedButton7,
            window->Level_button, window->SpeedButton3, window->ERASE_BTN};
  }

  // Whether any button or menu item that starts a command can be used.
  bool AnyCommandUsable() const {
    for (QToolButton* button : CommandButtons()) {
      if (button->isEnabled()) return true;
    }
    return window->menuBar()->isEnabled() || window->MainMenu->isEnabled();
  }

  // Clicks every button and menu item that starts a command.
  void TryEveryCommand() {
    for (QToolButton* button : CommandButtons()) button->click();
    for (QAction* item : {window->Open1, window->Save1, window->Print1}) item->trigger();
  }

  static void PressEsc(QWidget* target) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(target, &esc);
  }

  std::vector<int> waits;
};

TEST_F(InstrumentWindowTest, StartedWithoutAnInstrumentTheCommandsAreOff) {
  OpenWindow();
  EXPECT_EQ(window->StatusBar1->Text(0), "");
  EXPECT_FALSE(window->SpeedButton7->isEnabled());
  EXPECT_FALSE(window->SpeedButton3->isEnabled());
  EXPECT_FALSE(window->ERASE_BTN->isEnabled());
  EXPECT_FALSE(window->Level_button->isEnabled());
}

TEST_F(InstrumentWindowTest, AnInstrumentBehindAnUnknownDeviceIsFoundAtCreation) {
  Plug(InstrumentModel::K5, "OTHER01", "FT232R USB UART");
  Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  EXPECT_EQ(window->StatusBar1->Text(0), "Kestrum Attached");
  EXPECT_TRUE(InstrumentButtonsEnabled());
  EXPECT_FALSE(window->Level_button->isEnabled());
  EXPECT_EQ(kestrum::SelectedInstrument.SerialNo, "EMUK8001");
  EXPECT_EQ(kestrum::SelectedInstrument.Description, "USB <-> K8");
}

TEST_F(InstrumentWindowTest, TheFirstOfTwoAcceptedDevicesIsTakenEveryTick) {
  Plug(InstrumentModel::K5, "FIRST01", "USB <-> K5");
  Plug(InstrumentModel::K8, "SECOND01", "USB <-> K8");
  OpenWindow();
  for (int tick = 0; tick < 3; ++tick) {
    window->Timer2Timer();
    EXPECT_EQ(kestrum::SelectedInstrument.SerialNo, "FIRST01");
  }
}

TEST_F(InstrumentWindowTest, ADescriptionDifferingInCaseIsRefused) {
  Plug(InstrumentModel::K5, "LOWER01", "USB <-> k5");
  OpenWindow();
  EXPECT_EQ(window->StatusBar1->Text(0), "");
  EXPECT_FALSE(window->SpeedButton7->isEnabled());
}

TEST_F(InstrumentWindowTest, UnplugAndReplugChangeTheWindowWithinOneTick) {
  auto k5 = Plug(InstrumentModel::K5, "EMUK5001", "USB <-> K5");
  OpenWindow();
  window->Dump_BtnClick();  // a K5 download shows the level button
  ASSERT_TRUE(window->Level_button->isEnabled());

  bus.Unplug("EMUK5001");
  window->Timer2Timer();
  EXPECT_EQ(window->StatusBar1->Text(0), "");
  EXPECT_FALSE(window->SpeedButton7->isEnabled());
  EXPECT_FALSE(window->SpeedButton3->isEnabled());
  EXPECT_FALSE(window->ERASE_BTN->isEnabled());
  EXPECT_FALSE(window->Level_button->isEnabled());
  EXPECT_EQ(kestrum::SelectedInstrument.SerialNo, "EMUK5001");
  EXPECT_EQ(kestrum::SelectedInstrument.Description, "USB <-> K5");

  bus.Plug(k5);
  window->Timer2Timer();
  EXPECT_EQ(window->StatusBar1->Text(0), "Kestrum Attached");
  EXPECT_TRUE(InstrumentButtonsEnabled());
  EXPECT_FALSE(window->Level_button->isEnabled());
}

TEST_F(InstrumentWindowTest, ADownloadFillsTheRunListAndLeavesItsFiles) {
  auto k8 = Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  window->Dump_BtnClick();
  EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  EXPECT_EQ(window->ComboBox3->count(), 3);  // two runs and "All measurements"
  EXPECT_EQ(window->ComboBox3->itemText(2), "All measurements");
  EXPECT_TRUE(window->Save1->isEnabled());
  EXPECT_TRUE(window->Temperature->isEnabled());
  EXPECT_TRUE(window->SpeedButton7->isEnabled());
  EXPECT_FALSE(window->Level_button->isEnabled());  // only a K5-K7 download shows it
  EXPECT_EQ(window->StatusBar1->Text(1), "");
  EXPECT_EQ(window->Store().MemoryImage[0], '4');
  for (const char* file : {"RN4.tmp", "K84E.csv", "k5dat.tmp", "debug.tmp"}) {
    EXPECT_TRUE(QFile::exists(scratch.filePath(file))) << file;
  }
  EXPECT_EQ(window->Progress().Dialog(), nullptr);
}

TEST_F(InstrumentWindowTest, ACancelledTransferKeepsTheMeasurementsAndTheNextCommandWaitsItOut) {
  auto k7 = Plug(InstrumentModel::K7, "EMUK7001", "USB <-> K5");
  OpenWindow();
  window->Dump_BtnClick();
  ASSERT_TRUE(prompts.errors.isEmpty());
  const QStringList runsBefore = RunItems();
  const auto imageBefore = window->Store().MemoryImage;

  // Cancel 10 s into the next transfer; the K7 then goes on sending for two minutes.
  const std::int64_t start = bus.NowNs();
  bool sawDialog = false;
  QTimer canceller;
  QObject::connect(&canceller, &QTimer::timeout, [&] {
    QProgressDialog* dialog = window->Progress().Dialog();
    if (!dialog || dialog->wasCanceled()) return;
    sawDialog = sawDialog || dialog->windowTitle() == "Transfering measurements";
    // A window manager shows the whole title.
    EXPECT_GT(dialog->minimumWidth(),
              QFontMetrics(QApplication::font()).horizontalAdvance(dialog->windowTitle()));
    if (bus.NowNs() - start >= 10'000 * kestrum::kNsPerMs) dialog->cancel();
  });
  canceller.start(0);
  window->Dump_BtnClick();
  canceller.stop();
  EXPECT_TRUE(sawDialog);
  EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("|").toStdString();
  EXPECT_EQ(window->StatusBar1->Text(1), "Download cancelled");
  EXPECT_EQ(window->Store().MemoryImage, imageBefore);
  EXPECT_EQ(RunItems(), runsBefore);
  EXPECT_TRUE(window->SpeedButton7->isEnabled());
  EXPECT_FALSE(bus.IsOpen("EMUK7001"));

  // At once a clock sync: it first waits for the line to go quiet.
  QString waitText;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (QProgressDialog* dialog = window->Progress().Dialog()) waitText = dialog->labelText();
  });
  watcher.start(0);
  prompts.confirmAnswer = true;
  window->SpeedButton3Click();
  watcher.stop();
  EXPECT_EQ(waitText, "Waiting for the instrument to finish sending");
  EXPECT_EQ(window->StatusBar1->Text(1), "Clock updated");
  EXPECT_EQ(k7->State().clock_registers[4], 0x14);  // hours
}

TEST_F(InstrumentWindowTest, ClockSyncAsksThenPostsItsResultForOneSecond) {
  auto k7 = Plug(InstrumentModel::K7, "EMUK7001", "USB <-> K5");
  OpenWindow();
  prompts.confirmAnswer = false;
  window->SpeedButton3Click();
  EXPECT_EQ(prompts.confirmations,
            QStringList{"The Kestrum clock will be syncronized with the clock in your PC!"});
  EXPECT_TRUE(bus.BytesWritten().empty());

  prompts.confirmAnswer = true;
  window->SpeedButton3Click();
  EXPECT_EQ(window->StatusBar1->Text(1), "Clock updated");
  EXPECT_TRUE(window->SB_Timer->isActive());
  const auto& clock = k7->State().clock_registers;
  EXPECT_EQ(clock[2], 0x09);  // seconds
  EXPECT_EQ(clock[4], 0x14);  // hours
  EXPECT_EQ(clock[8], 0x24);  // year
  window->SB_TimerTimer();
  EXPECT_EQ(window->StatusBar1->Text(1), "      ");
}

TEST_F(InstrumentWindowTest, EraseCountsItsWaitAndReportsTheResult) {
  auto k5 = Plug(InstrumentModel::K5, "EMUK5001", "USB <-> K5");
  OpenWindow();
  bool sawCounting = false;
  waits.clear();
  QTimer::singleShot(0, [&] { sawCounting = window->Progress().Dialog() != nullptr; });
  window->ERASE_BTNClick();
  EXPECT_EQ(prompts.confirmations.size(), 1);
  EXPECT_EQ(window->StatusBar1->Text(1), "Kestrum ERASED");
  EXPECT_TRUE(window->SB_Timer->isActive());
  EXPECT_TRUE(sawCounting);
  EXPECT_EQ(waits.size(), 5u);  // 5 s counted second by second
  EXPECT_EQ(window->Progress().Dialog(), nullptr);
  EXPECT_EQ(k5->State().WritePointer(), 0x2000u);
}

TEST_F(InstrumentWindowTest, TheEraseWaitBoxStaysUpAndNothingElseStartsUntilTheEraseEnds) {
  auto k5 = Plug(InstrumentModel::K5, "EMUK5001", "USB <-> K5");
  OpenWindow();
  bool sawBox = false;
  bool boxStayed = false;
  bool usableDuringErase = true;
  QTimer::singleShot(0, [&] {
    QProgressDialog* box = window->Progress().Dialog();
    if (!box) return;
    sawBox = true;
    PressEsc(box);
    box->close();
    boxStayed = box->isVisible();
    window->Timer2Timer();  // detection sees the instrument meanwhile
    usableDuringErase = AnyCommandUsable();
    TryEveryCommand();
  });
  window->ERASE_BTN->click();
  EXPECT_TRUE(sawBox);
  EXPECT_TRUE(boxStayed);
  EXPECT_FALSE(usableDuringErase);
  // No click started anything, and the erase got its acknowledgement.
  EXPECT_EQ(prompts.confirmations.size(), 1);
  EXPECT_EQ(dialogs.asks, 0);
  EXPECT_EQ(window->StatusBar1->Text(1), "Kestrum ERASED");
  EXPECT_EQ(k5->State().WritePointer(), 0x2000u);
  // Then every control shows the window's state again.
  EXPECT_TRUE(InstrumentButtonsEnabled());
  EXPECT_TRUE(window->Open_SB->isEnabled());
  EXPECT_TRUE(window->MainMenu->isEnabled());
  EXPECT_FALSE(window->Save_SB->isEnabled());
  EXPECT_FALSE(window->Level_button->isEnabled());
}

TEST_F(InstrumentWindowTest, AKeptDownloadSurvivesTheEraseAndReopensFromDownloads) {
  auto k8 = Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  const QString downloads = dataFolder.filePath("downloads");
  window->Dump_BtnClick();
  const QStringList downloaded = RunItems();
  ASSERT_GE(downloaded.size(), 2);
  // What a report names as its data: the kept file, when, through which converter.
  EXPECT_EQ(window->MeasurementOrigin,
            "K8-EMUK8001-20240305-140709.Rn, downloaded 2024-03-05 14:07 from converter EMUK8001");

  // Kept since the last erase: said so, OK stays the default.
  window->ERASE_BTNClick();
  ASSERT_EQ(prompts.confirmations.size(), 1);
  EXPECT_EQ(prompts.confirmations[0],
            QString(kestrum::kEraseConfirmText) +
                "\nThe memory downloaded at 2024-03-05 14:07:09 is kept in " + downloads + ".");
  EXPECT_TRUE(prompts.cancelDefaultConfirmations.isEmpty());
  ASSERT_EQ(window->StatusBar1->Text(1), "Kestrum ERASED");

  // Erased since (in a later run of the program): measurements would be lost.
  ReopenWindow();
  window->ERASE_BTNClick();
  ASSERT_EQ(prompts.cancelDefaultConfirmations.size(), 1);
  EXPECT_TRUE(prompts.cancelDefaultConfirmations[0].endsWith(
      "\nThis instrument's memory has not been downloaded since 2024-03-05 14:07:09: its "
      "measurements will be lost."));

  // The kept download opens as File > Open would, with the same runs.
  window->Downloads1->trigger();  // cancelled: only looked at
  ASSERT_EQ(dialogs.keptDownloadsShown.size(), 1u);
  const auto& shown = dialogs.keptDownloadsShown.front();
  ASSERT_TRUE(shown.runs.ok()) << shown.runs.error();
  EXPECT_EQ(shown.runs->count, downloaded.size() - 1);
  dialogs.keptDownloadAnswers.push_back(shown.file.path);
  window->Downloads1->trigger();
  EXPECT_EQ(window->windowTitle(), "K8-EMUK8001-20240305-140709.Rn");
  EXPECT_EQ(RunItems(), downloaded);
  EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
}

TEST_F(InstrumentWindowTest, ADownloadThatCannotBeKeptSaysSoAndStillShowsItsRuns) {
  Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  // A file where the data folder should be: even root cannot write there.
  QFile blocker(scratch.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  kestrum::SetProgramDataFolder(blocker.fileName().toStdString());
  window->Dump_BtnClick();
  EXPECT_TRUE(window->StatusBar1->Text(1).startsWith("The download was not kept in "))
      << window->StatusBar1->Text(1).toStdString();
  EXPECT_EQ(window->ComboBox3->count(), 3);
  EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(InstrumentWindowTest, DuringADownloadDetectionEnablesNothingAndEscCancelsTheTransfer) {
  Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  window->SpeedButton7->click();
  ASSERT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  const QStringList runsBefore = RunItems();

  bool usableDuringDownload = true;
  bool cancelled = false;
  QTimer::singleShot(0, [&] {
    QProgressDialog* box = window->Progress().Dialog();
    if (!box) return;
    window->Timer2Timer();
    usableDuringDownload = AnyCommandUsable();
    PressEsc(box);
    cancelled = box->wasCanceled();
  });
  window->SpeedButton7->click();
  EXPECT_FALSE(usableDuringDownload);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(window->StatusBar1->Text(1), "Download cancelled");
  EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  EXPECT_EQ(RunItems(), runsBefore);
  EXPECT_TRUE(InstrumentButtonsEnabled());
}

TEST_F(InstrumentWindowTest, AfterADecodeWithoutRunsNothingOfTheOldChartIsLeft) {
  Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  window->SpeedButton7->click();
  window->ComboBox3->setCurrentIndex(0);
  window->ComboBox3Change();
  ASSERT_FALSE(window->Chart1->isHidden());
  ASSERT_FALSE(window->Chart1->FooterLines().isEmpty());

  window->ERASE_BTN->click();
  window->SpeedButton7->click();
  EXPECT_EQ(prompts.errors, QStringList{"No measurements saved in K5! "});
  EXPECT_EQ(window->ComboBox3->count(), 0);
  EXPECT_TRUE(window->Chart1->isHidden());
  EXPECT_TRUE(window->Chart1->FooterLines().isEmpty());
  EXPECT_EQ(window->Chart1->PulseBars().Count(), 0);

  // Neither a picture nor a print-out comes from the chart that is gone.
  dialogs.saveAnswers.push_back(FileChoice{scratch.filePath("old.Png"), 5});
  window->Save_SB->click();
  dialogs.printAnswer = true;
  dialogs.printToFile = scratch.filePath("old.pdf");
  window->SpeedButton1->click();
  ASSERT_EQ(prompts.errors.size(), 3);
  EXPECT_TRUE(prompts.errors[1].endsWith(kNoChartShownMessage));
  EXPECT_EQ(prompts.errors[2], kNoChartShownMessage);
  EXPECT_FALSE(QFile::exists(scratch.filePath("old.Png")));
  EXPECT_FALSE(QFile::exists(scratch.filePath("old.pdf")));
}

TEST_F(InstrumentWindowTest, UnpluggingFromTheEmulationMenuTurnsTheCommandsOffWithinOneTick) {
  Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  window->AddEmulationMenu(bus);
  ASSERT_EQ(window->menuBar()->actions().last()->menu(), window->Emulation);
  ASSERT_EQ(window->Emulation->PlugEntries().size(), 1u);
  QAction* plug = window->Emulation->PlugEntries()[0];
  EXPECT_TRUE(plug->isChecked());
  ASSERT_TRUE(InstrumentButtonsEnabled());

  plug->trigger();
  window->Timer2Timer();
  EXPECT_FALSE(plug->isChecked());
  EXPECT_EQ(window->StatusBar1->Text(0), "");
  EXPECT_FALSE(window->SpeedButton7->isEnabled());
  EXPECT_FALSE(window->SpeedButton3->isEnabled());
  EXPECT_FALSE(window->ERASE_BTN->isEnabled());

  plug->trigger();
  window->Timer2Timer();
  EXPECT_EQ(window->StatusBar1->Text(0), "Kestrum Attached");
  EXPECT_TRUE(InstrumentButtonsEnabled());
}

TEST_F(InstrumentWindowTest, EmulatedFaultsSpoilTheNextDownloadAndTheMemoryComesBack) {
  Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  window->AddEmulationMenu(bus);
  EmulationMenu& menu = *window->Emulation;
  window->SpeedButton7->click();
  const QStringList runs = RunItems();
  ASSERT_FALSE(runs.isEmpty());

  prompts.numberAnswer = 1000;
  using kestrum::ReplyKind;
  for (QAction* fault :
       {EmulationMenu::EntryFor(menu.Silence, ReplyKind::kMemory),
        EmulationMenu::EntryFor(menu.ShortReply, ReplyKind::kMemory),
        EmulationMenu::EntryFor(menu.GarbageBytes, ReplyKind::kMemory), menu.UnplugAfterBytes}) {
    SCOPED_TRACE(fault->text().toStdString());
    prompts.errors.clear();
    fault->trigger();
    window->SpeedButton7->click();
    ASSERT_EQ(prompts.errors.size(), 1);
    // A pulled plug is told apart from a reply that stopped.
    EXPECT_TRUE(prompts.errors[0].startsWith(fault == menu.UnplugAfterBytes
                                                 ? "The Kestrum's converter went away"
                                                 : "The transfer from the Kestrum was incomplete"))
        << prompts.errors[0].toStdString();
    EXPECT_EQ(RunItems(), runs);
  }
  EXPECT_TRUE(prompts.errors[0].contains(" 1000 of ")) << prompts.errors[0].toStdString();
  emit menu.aboutToShow();  // the menu shows the plug the fault pulled
  EXPECT_FALSE(menu.PlugEntries()[0]->isChecked());

  menu.PlugEntries()[0]->trigger();
  window->Timer2Timer();
  window->ERASE_BTN->click();
  window->SpeedButton7->click();
  EXPECT_EQ(window->ComboBox3->count(), 0);
  menu.ResetMemory->trigger();
  prompts.errors.clear();
  window->SpeedButton7->click();
  EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();
  EXPECT_EQ(RunItems(), runs);
}

// Behind the identify exchange's retries a fault on "the next reply" came to
// nothing on a K5-K7; aimed at the reply it names, it spoils that one.
TEST_F(InstrumentWindowTest, AFaultAimedAtAReplySpoilsThatReply) {
  using kestrum::ReplyKind;
  const struct {
    InstrumentModel model;
    const char* serial;
    const char* description;
    ReplyKind reply;
    bool spoilsTheDownload;
  } cases[] = {
      {InstrumentModel::K7, "EMUK7001", "USB <-> K5", ReplyKind::kMemory, true},
      {InstrumentModel::K7, "EMUK7001", "USB <-> K5", ReplyKind::kParameters, true},
      {InstrumentModel::K7, "EMUK7001", "USB <-> K5", ReplyKind::kCoefficients, true},
      {InstrumentModel::K5, "EMUK5001", "USB <-> K5", ReplyKind::kMemory, true},
      {InstrumentModel::K5, "EMUK5001", "USB <-> K5", ReplyKind::kParameters, true},
      // The identify exchange is tried again, as the program always did.
      {InstrumentModel::K7, "EMUK7001", "USB <-> K5", ReplyKind::kIdentify, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(kestrum::ModelName(c.model)) + " " + kestrum::ReplyKindWord(c.reply));
    for (const auto& plugged : bus.Instruments()) bus.Unplug(plugged->Serial());
    Plug(c.model, c.serial, c.description);
    OpenWindow();
    window->AddEmulationMenu(bus);
    EmulationMenu& menu = *window->Emulation;
    emit menu.Silence->aboutToShow();
    QAction* silence = EmulationMenu::EntryFor(menu.Silence, c.reply);
    ASSERT_TRUE(silence && silence->isEnabled());
    silence->trigger();
    prompts.errors.clear();
    window->SpeedButton7->click();
    EXPECT_EQ(prompts.errors.size(), c.spoilsTheDownload ? 1 : 0)
        << prompts.errors.join("; ").toStdString();
    EXPECT_EQ(RunItems().isEmpty(), c.spoilsTheDownload);
  }
}

}  // namespace
