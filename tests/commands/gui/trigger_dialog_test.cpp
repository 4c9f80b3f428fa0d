// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <memory>

#include "commands/gui/trigger_dialog.h"
#include "emulator/emulated_bus.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_wait.h"

namespace {

// Keys as the keyboard sends them.
void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_0 + (c.unicode() - '0'), Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(widget, &key);
  }
}

void PressEnter(QWidget* widget) {
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &key);
}

// An emulated K5 on its converter, the one the commands use.
std::shared_ptr<kestrum::EmulatedInstrument> AttachK5(kestrum::EmulatedBus& bus) {
  kestrum::ResetD2XXUnitState();
  kestrum::EmulatedInstrumentConfig config;
  config.model = kestrum::InstrumentModel::K5;
  config.description = "USB <-> K5";
  config.serial = "DLGK5";
  auto k5 = std::make_shared<kestrum::EmulatedInstrument>(config);
  bus.Plug(k5);
  kestrum::SetFtDriver(&bus);
  kestrum::SetSleeper(bus.MakeSleeper());
  kestrum::SelectedInstrument = {"DLGK5", "USB <-> K5"};
  kestrum::InstrumentAttached = true;
  return k5;
}

class TriggerDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { dialog = std::make_unique<TTrigger>(); }
  std::unique_ptr<TTrigger> dialog;
};

TEST_F(TriggerDialogTest, LooksAsDesigned) {
  EXPECT_EQ(dialog->windowTitle(), "Trigger level");
  EXPECT_EQ(dialog->size(), QSize(668, 184));
  EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_FALSE(dialog->windowFlags() & Qt::WindowCloseButtonHint);

  EXPECT_EQ(dialog->Shape1->size(), QSize(65, 65));
  EXPECT_EQ(dialog->Shape1->Colour(), QColor(Qt::red));
  EXPECT_EQ(dialog->Shape2->size(), QSize(65, 65));
  EXPECT_EQ(dialog->Shape2->Colour(), QColor(0, 255, 0));
  EXPECT_GT(dialog->Shape2->y(), dialog->Shape1->y() + 65 - 1);
  EXPECT_GT(dialog->Label2->x(), dialog->Shape1->x() + 65);
  EXPECT_GT(dialog->Label3->x(), dialog->Shape2->x() + 65);
  EXPECT_GT(dialog->Label4->x(), dialog->UpDown1->x() + dialog->UpDown1->width() - 1);

  EXPECT_EQ(dialog->Label1->text(), "Trigger between Low and High level at");
  EXPECT_EQ(dialog->Label2->text(), "High Level");
  EXPECT_EQ(dialog->Label3->text(), "Low Level");
  EXPECT_EQ(dialog->Label4->text(), "Bq/m3");
  EXPECT_EQ(dialog->CheckBox1->text(), "Flash RED/GREEN");
  EXPECT_EQ(dialog->Button1->text(), "Set");
  EXPECT_EQ(dialog->Button2->text(), "Cancel");
  for (QWidget* w : std::initializer_list<QWidget*>{dialog->Label1, dialog->Label2, dialog->Label3,
                                                    dialog->Label4, dialog->Level_edit}) {
    EXPECT_EQ(w->font().pixelSize(), 21) << w->objectName().toStdString();
  }
  EXPECT_EQ(dialog->CheckBox1->font().pixelSize(), 14);
  EXPECT_EQ(dialog->Button1->font().pixelSize(), 11);
  // Every component lies inside the client area.
  for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    EXPECT_TRUE(dialog->rect().contains(w->geometry())) << w->objectName().toStdString();
  }
}

TEST_F(TriggerDialogTest, StartsAt200StepsBy25WithinItsRange) {
  EXPECT_EQ(dialog->Level_edit->text(), "200");
  EXPECT_FALSE(dialog->Level_edit->isReadOnly());
  EXPECT_FALSE(dialog->CheckBox1->isChecked());
  EXPECT_EQ(dialog->UpDown1->Min(), 50);
  EXPECT_EQ(dialog->UpDown1->Increment(), 25);

  dialog->UpDown1->UpButton()->click();
  EXPECT_EQ(dialog->Level_edit->text(), "225");
  for (int i = 0; i < 10; ++i) dialog->UpDown1->StepDown();
  EXPECT_EQ(dialog->UpDown1->Position(), 50);
  EXPECT_EQ(dialog->Level_edit->text(), "50");
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QCoreApplication::sendEvent(dialog->Level_edit, &up);
  EXPECT_EQ(dialog->Level_edit->text(), "75");
}

TEST_F(TriggerDialogTest, MaximumIsTheHighestLevelThatFitsOneByte) {
  // Before any download: factor 6.0, 1525 / 6 = 254 pulses, 1550 / 6 = 258.
  EXPECT_EQ(dialog->UpDown1->Max(), 1525);
  dialog->UpDown1->SetPosition(2000);
  EXPECT_EQ(dialog->Level_edit->text(), "1525");

  dialog->LimitToCalibrationFactor(10.0L);
  EXPECT_EQ(dialog->UpDown1->Max(), 2000);
  EXPECT_EQ(dialog->Level_edit->text(), "1525");
  dialog->LimitToCalibrationFactor(5.0L);
  EXPECT_EQ(dialog->UpDown1->Max(), 1275);
  EXPECT_EQ(dialog->Level_edit->text(), "1275");
  EXPECT_TRUE(dialog->Level_edit->toolTip().contains("1275 Bq/m3"));
}

TEST_F(TriggerDialogTest, FlashGreysOutTheEditOnly) {
  dialog->CheckBox1->click();
  EXPECT_TRUE(dialog->CheckBox1->isChecked());
  EXPECT_FALSE(dialog->Level_edit->isEnabled());
  EXPECT_TRUE(dialog->UpDown1->isEnabled());
  dialog->CheckBox1->click();
  EXPECT_TRUE(dialog->Level_edit->isEnabled());
}

TEST_F(TriggerDialogTest, CancelClosesAndTheChoiceStaysForTheNextOpening) {
  dialog->show();
  dialog->UpDown1->SetPosition(400);
  dialog->CheckBox1->click();
  dialog->Button2->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_FALSE(dialog->LastOutcome().has_value());

  dialog->LimitToCalibrationFactor(6.0L);
  dialog->show();
  EXPECT_EQ(dialog->Level_edit->text(), "400");
  EXPECT_TRUE(dialog->CheckBox1->isChecked());
  EXPECT_FALSE(dialog->Level_edit->isEnabled());
}

// "Set" against an emulated K5: the level and the flash option land in
// instrument memory bytes 4 and 5, and the dialog closes.
TEST_F(TriggerDialogTest, SetWritesTheLevelIntoTheInstrument) {
  kestrum::EmulatedBus bus(kestrum::TimeMode::kInstant);
  auto k5 = AttachK5(bus);

  dialog->LimitToCalibrationFactor(6.25L);
  dialog->UpDown1->SetPosition(50);
  dialog->CheckBox1->click();
  dialog->show();
  dialog->Button1->click();

  kestrum::SetFtDriver(nullptr);
  kestrum::SetSleeper({});
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  ASSERT_TRUE(dialog->LastOutcome().has_value());
  EXPECT_EQ(dialog->LastOutcome()->end, kestrum::TriggerEnd::kSent);
  EXPECT_EQ(k5->State().TriggerLevel(), 8);
  EXPECT_EQ(k5->State().FlashOption(), 2);
  EXPECT_FALSE(bus.IsOpen("DLGK5"));
}

// What is typed is what is set (Enter or Set), steps or not; what is no
// level within the range is refused, naming it, and nothing is sent.
TEST_F(TriggerDialogTest, TypedLevelsAreSetOrRefused) {
  kestrum::EmulatedBus bus(kestrum::TimeMode::kInstant);
  auto k5 = AttachK5(bus);
  dialog->LimitToCalibrationFactor(6.0L);
  dialog->show();
  for (const char* typed : {"30", "1550", "abc", "150.5", ""}) {
    SCOPED_TRACE(typed);
    dialog->Level_edit->setText(typed);
    dialog->Button1->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->LastOutcome().has_value());
    EXPECT_TRUE(dialog->Refusal->text().contains("from 50 to 1525")) << typed;
  }
  EXPECT_TRUE(bus.Log().empty());

  // 148 Bq/m3 is no step of the arrows; typed, it is set, by Enter alone.
  dialog->Level_edit->clear();
  Type(dialog->Level_edit, "148");
  EXPECT_EQ(dialog->UpDown1->Position(), 148);
  PressEnter(dialog->Level_edit);
  kestrum::SetFtDriver(nullptr);
  kestrum::SetSleeper({});
  ASSERT_TRUE(dialog->LastOutcome().has_value());
  EXPECT_EQ(dialog->LastOutcome()->end, kestrum::TriggerEnd::kSent);
  EXPECT_EQ(k5->State().TriggerLevel(), 148 / 6);
  EXPECT_TRUE(dialog->Refusal->text().isEmpty());
  EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
