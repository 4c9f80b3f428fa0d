// SPDX-License-Identifier: GPL-3.0-or-later
// What the user is told of the instrument commands: why the converter could
// not be opened, the last outcome in a line that stays, and the Instrument
// menu beside the toolbar's buttons.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QProgressDialog>
#include <QTimer>
#include <QTreeWidget>

#include "app/emulated_window_fixture.h"
#include "commands/gui/trigger_dialog.h"

namespace {

using kestrum::InstrumentModel;

class CommandFeedbackWindowTest : public EmulatedWindowTest {
 protected:
  void TearDown() override {
    Trigger = nullptr;
    EmulatedWindowTest::TearDown();
  }
  QString Panel(int panel) const { return window->StatusBar1->Text(panel); }
  // Runs `button`'s command, cancelling its wait box as soon as it shows.
  void ClickCancelling(QToolButton* button) {
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [this] {
      if (QProgressDialog* box = window->Progress().Dialog()) box->cancel();
    });
    canceller.start(0);
    button->click();
  }
};

TEST_F(CommandFeedbackWindowTest, ARefusedOpenIsSaidAndStaysUntilTheNextCommand) {
  Plug(InstrumentModel::K5, "EMUK5001", "USB <-> K5");
  OpenWindow();
  window->Dump_BtnClick();  // shows the trigger-level button
  TTrigger trigger(window.get());
  Trigger = &trigger;
  kestrum::FtHandle other = 0;  // another program has the converter
  ASSERT_EQ(bus.OpenBySerialNumber("EMUK5001", &other), kestrum::FT_OK);

  const QString reason = "opening EMUK5001: device not opened";
  const struct {
    TForm1::Handler handler;
    const char* outcome;
  } commands[] = {{&TForm1::Dump_BtnClick, "Download failed: "},
                  {&TForm1::SpeedButton3Click, "Clock not set: "},
                  {&TForm1::ERASE_BTNClick, "Not erased: "},
                  {&TForm1::Level_buttonClick, "Trigger level not set: "}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command.outcome);
    if (command.handler == &TForm1::Level_buttonClick)
      QTimer::singleShot(0, trigger.Button1, &QPushButton::click);
    ASSERT_TRUE(window->RunCommand(command.handler));
    window->SB_TimerTimer();
    EXPECT_EQ(Panel(1), reason);
    EXPECT_EQ(Panel(2), command.outcome + reason);
    EXPECT_EQ(window->History()->LatestActivity(1).value().at(0).text,
              (command.outcome + reason).toStdString());
  }
  EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("; ").toStdString();

  ASSERT_EQ(bus.Close(other), kestrum::FT_OK);
  window->RunCommand(&TForm1::SpeedButton3Click);
  EXPECT_EQ(Panel(1), "Clock updated");
  window->SB_TimerTimer();
  EXPECT_EQ(Panel(1), "      ");
}

TEST_F(CommandFeedbackWindowTest, TheLastOutcomeOutlastsTheStatusTimer) {
  Plug(InstrumentModel::K7, "EMUK7001", "USB <-> K5");
  OpenWindow();
  QLabel* line = window->StatusBar1->findChild<QLabel*>("StatusPanel2");
  EXPECT_TRUE(line->isHidden());  // the bar looks as it always did

  window->SpeedButton7->click();
  QString samples = QString::number(window->Store().LastSampleIndex + 1);
  if (samples.size() > 3) samples.insert(samples.size() - 3, ',');
  window->SB_TimerTimer();
  EXPECT_EQ(Panel(2), "Downloaded 2 runs, " + samples + " samples at 14:07 (kept)");
  EXPECT_FALSE(line->isHidden());

  ClickCancelling(window->SpeedButton7);  // the K7 goes on sending
  EXPECT_EQ(Panel(2), "Download cancelled at 14:07");
  ClickCancelling(window->SpeedButton3);  // the wait for a quiet line
  EXPECT_TRUE(Panel(2).startsWith("Clock not set")) << Panel(2).toStdString();
  window->SpeedButton3->click();
  window->SB_TimerTimer();
  EXPECT_EQ(Panel(2), "Clock set to 14:07:09");
}

TEST_F(CommandFeedbackWindowTest, AFailureIsLoggedWhenItHappensNotWhenItsBoxIsClosed) {
  auto k8 = Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  OpenWindow();
  k8->AnswerNothing(kestrum::ReplyKind::kCoefficients);
  const kestrum::DateTime failedAt = pcNow;
  QString shownInTheDock;
  QString shownInTheLine;
  prompts.whileErrorShown = [&] {
    const QTreeWidgetItem* top = window->Activity->List()->topLevelItem(0);
    shownInTheDock = top ? top->text(2) : QString();
    shownInTheLine = Panel(2);
    pcNow += 131.0 / 86400;  // the user comes back to the box two minutes later
  };

  window->SpeedButton7->click();

  ASSERT_EQ(prompts.errors.size(), 1);
  const kestrum::ActivityEntry logged = window->History()->LatestActivity(1).value().at(0);
  const QString text = QString::fromStdString(logged.text);
  EXPECT_TRUE(text.contains(prompts.errors[0])) << logged.text;
  EXPECT_EQ(shownInTheDock.toStdString(), logged.text);
  EXPECT_EQ(shownInTheLine, text.section('\n', 0, 0)) << shownInTheLine.toStdString();
  EXPECT_EQ(logged.at, failedAt);
}

TEST_F(CommandFeedbackWindowTest, TheInstrumentMenuFollowsTheButtonsAndTheGuard) {
  OpenWindow();
  const QList<QAction*> menus = window->menuBar()->actions();
  EXPECT_EQ(menus.indexOf(window->Instrument1->menuAction()),
            menus.indexOf(window->View1->menuAction()) + 1);
  EXPECT_EQ(window->DownloadMeasurements1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
  for (QToolButton* button :
       {window->Open_SB, window->Save_SB, window->SpeedButton1, window->SpeedButton7,
        window->Level_button, window->SpeedButton3, window->ERASE_BTN}) {
    EXPECT_FALSE(button->accessibleName().isEmpty()) << button->objectName().toStdString();
  }

  const QList<QAction*> entries = {window->DownloadMeasurements1, window->SynchroniseClock1,
                                   window->Erase1, window->TriggerLevel1};
  const auto enabled = [&] {
    std::vector<bool> states;
    for (QAction* entry : entries) states.push_back(entry->isEnabled());
    return states;
  };
  using States = std::vector<bool>;
  EXPECT_EQ(enabled(), (States{false, false, false, false}));
  Plug(InstrumentModel::K5, "EMUK5001", "USB <-> K5");
  window->Timer2Timer();
  EXPECT_EQ(enabled(), (States{true, true, true, false}));
  window->DownloadMeasurements1->trigger();
  EXPECT_EQ(window->ComboBox3->count(), 3);
  EXPECT_EQ(enabled(), (States{true, true, true, true}));

  // During the erase nothing else starts from the menu, and what detection
  // changes meanwhile shows when it ends.
  QTimer::singleShot(0, [&] {
    for (QAction* entry : entries) entry->trigger();
    bus.Unplug("EMUK5001");
    window->Timer2Timer();
  });
  window->Erase1->trigger();
  EXPECT_EQ(prompts.confirmations.size(), 1);
  EXPECT_EQ(dialogs.asks, 0);
  EXPECT_EQ(enabled(), (States{false, false, false, false}));
}

// Two instruments attached: the user picks one; commands and the toolbar
// follow it while it stays attached, then the first found is used again.
TEST_F(CommandFeedbackWindowTest, UseChoosesAmongAttachedInstruments) {
  Plug(InstrumentModel::K8, "EMUK8001", "USB <-> K8");
  Plug(InstrumentModel::K5, "EMUK5002", "USB <-> K5");
  OpenWindow();
  const auto offered = [&] {
    emit window->Use1->aboutToShow();
    QStringList items;
    for (QAction* entry : window->Use1->actions())
      items << (entry->isChecked() ? "* " : "  ") + entry->text();
    return items;
  };
  EXPECT_EQ(offered(), (QStringList{"* K8-EMUK8001 (USB <-> K8)", "  EMUK5002 (USB <-> K5)"}));

  window->Use1->actions().at(1)->trigger();
  window->Timer2Timer();
  window->SpeedButton7->click();
  EXPECT_EQ(window->Store().MemoryImage[0], '1');  // the K5's download
  EXPECT_TRUE(window->Level_button->isEnabled());
  window->Timer2Timer();
  EXPECT_EQ(offered(), (QStringList{"  K8-EMUK8001 (USB <-> K8)", "* K5-EMUK5002 (USB <-> K5)"}));

  window->Use1->actions().at(0)->trigger();
  EXPECT_EQ(kestrum::SelectedInstrument.SerialNo, "EMUK8001");
  EXPECT_FALSE(window->Level_button->isEnabled());  // set up for the K5's factor
  EXPECT_TRUE(window->SpeedButton7->isEnabled());

  window->Use1->actions().at(1)->trigger();
  EXPECT_TRUE(window->Level_button->isEnabled());
  bus.Unplug("EMUK5002");
  window->Timer2Timer();
  Plug(InstrumentModel::K5, "EMUK5002", "USB <-> K5");
  window->Timer2Timer();
  EXPECT_EQ(kestrum::SelectedInstrument.SerialNo, "EMUK8001");  // the choice went with it
}

}  // namespace
