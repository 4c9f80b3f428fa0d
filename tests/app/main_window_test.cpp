// SPDX-License-Identifier: GPL-3.0-or-later
// Start state of the main window and the about box.
#include <gtest/gtest.h>

#include <qcustomplot.h>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <memory>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/window_fixture.h"

namespace {

class MainWindowTest : public WindowTest {
 protected:
  void SetUp() override { OpenWindow(); }
};

TEST_F(MainWindowTest, CaptionSizeAndFont) {
  EXPECT_EQ(window->windowTitle(), "Kestrum  Computer Interface Version 2.21");
  EXPECT_EQ(window->size(), QSize(1033, 587));
  EXPECT_EQ(window->font().pixelSize(), 11);
}

TEST_F(MainWindowTest, MenuItemsHaveCaptionsAndStartStates) {
  struct Item {
    QAction* action;
    const char* name;
    const char* caption;
    bool enabled;
    bool checked;
  };
  const Item items[] = {
      {window->Open1, "Open1", "Open", true, false},
      {window->Save1, "Save1", "Save", false, false},
      {window->Print1, "Print1", "Print", true, false},
      {window->Exit1, "Exit1", "Exit", true, false},
      {window->PulseDistribution1, "PulseDistribution1", "Pulse Distribution", true, true},
      {window->PulseDistributionandMean1, "PulseDistributionandMean1",
       "Pulse Distribution and Mean", true, false},
      {window->PulseDistributionMeanandmeanError1, "PulseDistributionMeanandmeanError1",
       "Pulse Distribution, Mean and mean Error", true, false},
      {window->MeanandmeanError1, "MeanandmeanError1", "Mean and mean Error", true, false},
      {window->Mean1, "Mean1", "Mean", true, false},
      {window->Temperature, "Temperature", "Temperature (K6 & K7)", false, false},
      {window->Humidity, "Humidity", "Humidity (K6 & K7)", false, false},
      {window->Pressure, "Pressure", "Pressure (K7)", true, false},
      {window->About1, "About1", "About", true, false},
  };
  for (const Item& item : items) {
    SCOPED_TRACE(item.name);
    ASSERT_NE(item.action, nullptr);
    EXPECT_EQ(item.action->objectName(), item.name);
    // What the menu shows: "&&" is one ampersand.
    EXPECT_EQ(QString(item.action->text()).replace("&&", "&"), item.caption);
    EXPECT_EQ(item.action->isEnabled(), item.enabled);
    EXPECT_EQ(item.action->isChecked(), item.checked);
  }
  EXPECT_FALSE(window->View1->isEnabled());
  EXPECT_EQ(window->View1->title(), "View");
  EXPECT_EQ(window->MainMenu->title(), "&Main");
  EXPECT_EQ(window->HelpMenu->title(), "Help");
  // Menu order: Main, View, Instrument, Help, and the View entries in the order of the menu.
  const auto menus = window->menuBar()->actions();
  ASSERT_EQ(menus.size(), 4);
  EXPECT_EQ(menus[1]->menu(), window->View1);
  EXPECT_EQ(menus[2]->menu(), window->Instrument1);
  EXPECT_EQ(menus[3]->menu(), window->HelpMenu);
  const auto entries = window->View1->actions();
  // The original eight come first; the chart additions follow after a separator.
  ASSERT_GT(entries.size(), 8);
  EXPECT_EQ(entries[0], window->PulseDistribution1);
  EXPECT_EQ(entries[4], window->Mean1);
  EXPECT_EQ(entries[7], window->Pressure);
  EXPECT_TRUE(entries[8]->isSeparator());
}

TEST_F(MainWindowTest, ToolbarButtonsSitAtTheirPlacesWithHints) {
  struct Button {
    QToolButton* button;
    const char* name;
    int x;
    int width;
    const char* hint;
    bool enabled;
  };
  // With no instrument attached the download, level, clock and erase buttons are off.
  const Button buttons[] = {
      {window->Open_SB, "Open_SB", 0, 25, "Load Saved Measurements", true},
      {window->Save_SB, "Save_SB", 25, 25, "Save Measurements", false},
      {window->SpeedButton1, "SpeedButton1", 50, 30, "Print Graph", true},
      {window->SpeedButton7, "SpeedButton7", 80, 30, "Load measurements from Kestrum", false},
      {window->Level_button, "Level_button", 110, 27, "Set trigger Level", false},
      {window->SpeedButton3, "SpeedButton3", 137, 30, "Syncronize Kestrum  Clock with PC", false},
      {window->ERASE_BTN, "ERASE_BTN", 167, 30, "Erase Kestrum", false},
  };
  for (const Button& b : buttons) {
    SCOPED_TRACE(b.name);
    EXPECT_EQ(b.button->objectName(), b.name);
    EXPECT_EQ(b.button->x(), b.x);
    EXPECT_EQ(b.button->width(), b.width);
    EXPECT_EQ(b.button->height(), 25);
    EXPECT_EQ(b.button->toolTip(), b.hint);
    EXPECT_EQ(b.button->isEnabled(), b.enabled);
    EXPECT_TRUE(b.button->autoRaise());
    EXPECT_FALSE(b.button->icon().isNull());
  }
  EXPECT_EQ(window->ToolBar1->height(), 30);
}

TEST_F(MainWindowTest, ComboBoxesAndLabels) {
  EXPECT_EQ(window->Label3->text(), "      Measurement ");
  EXPECT_EQ(window->Label3->font().pixelSize(), 13);
  EXPECT_EQ(window->Label2->text(), "  Mean ");

  QComboBox* runs = window->ComboBox3;
  EXPECT_FALSE(runs->isEnabled());
  EXPECT_FALSE(runs->isEditable());
  EXPECT_EQ(runs->placeholderText(), "Select  Measurement");
  EXPECT_EQ(runs->currentIndex(), -1);
  EXPECT_EQ(runs->toolTip(), "Select Measurement");
  EXPECT_EQ(runs->maxVisibleItems(), 60);
  EXPECT_EQ(runs->geometry(), QRect(323, runs->y(), 224, runs->height()));

  QComboBox* means = window->ComboBox2;
  EXPECT_FALSE(means->isEnabled());
  EXPECT_FALSE(means->isEditable());
  EXPECT_EQ(means->toolTip(), "Mean");
  EXPECT_EQ(means->currentIndex(), -1);
  QStringList items;
  for (int i = 0; i < means->count(); ++i) items << means->itemText(i);
  EXPECT_EQ(items, QStringList({"2h", "4h", "8h", "12h", "24h", "2d", "7d", "Mean"}));
}

TEST_F(MainWindowTest, StatusBarTimersDialogsAndChart) {
  EXPECT_EQ(window->StatusBar1->height(), 19);
  EXPECT_EQ(window->StatusBar1->PanelWidth(0), 300);
  EXPECT_EQ(window->StatusBar1->PanelWidth(1), 50);
  EXPECT_EQ(window->StatusBar1->Text(0), "");
  EXPECT_EQ(window->StatusBar1->Text(1), "");

  EXPECT_EQ(window->Timer2->interval(), 1000);
  EXPECT_TRUE(window->Timer2->isActive());
  EXPECT_EQ(window->SB_Timer->interval(), 1000);
  EXPECT_FALSE(window->SB_Timer->isActive());

  EXPECT_EQ(window->OpenDialog1.filters, QStringList({"Rn Data File (*.Rn)"}));
  EXPECT_EQ(window->OpenDialog1.defaultExt, "*.Rn");
  EXPECT_EQ(window->OpenDialog1.fileName, "RnData");
  ASSERT_EQ(window->SaveDialog1.filters.size(), 7);
  EXPECT_EQ(window->SaveDialog1.filters[0], "Rn Data File (*.Rn)");
  EXPECT_EQ(window->SaveDialog1.filters[1], "Bmp Graphics (*.Bmp)");
  EXPECT_EQ(window->SaveDialog1.filters[3], "Text (.txt) (*.txt)");

  window->show();
  QApplication::processEvents();
  EXPECT_FALSE(window->Chart1->isVisible());
  EXPECT_FALSE(window->PulseDistError_CheckBox->isVisible());
  EXPECT_FALSE(window->MeanError_CheckBox->isVisible());
  EXPECT_DOUBLE_EQ(static_cast<double>(window->Store().CalibrationFactor), 6.0);
}

TEST_F(MainWindowTest, StatusTimerBlanksPanelOneAndStops) {
  window->StatusBar1->SetText(1, "Clock updated");
  window->SB_Timer->start();
  window->SB_TimerTimer();
  EXPECT_EQ(window->StatusBar1->Text(1), "      ");
  EXPECT_FALSE(window->SB_Timer->isActive());
}

TEST(AboutBoxTest, ContentAndOkCloses) {
  TAbout box;
  EXPECT_EQ(box.windowTitle(), "About Kestrum PC Interface");
  EXPECT_EQ(box.size(), QSize(357, 240));
  ASSERT_FALSE(box.Banner->pixmap().isNull()) << "the JPEG banner did not load";
  EXPECT_EQ(box.Banner->pixmap().size(), QSize(361, 81));
  const QStringList lines = box.Lines->text().split('\n');
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[0], "Kestrum PC Interface");
  EXPECT_EQ(lines[1], "Version 2.21");
  EXPECT_EQ(lines[2], "For support, comments, suggestions");
  EXPECT_EQ(lines[3], "and future program updates, send  E-mail to:");
  EXPECT_TRUE(lines[4].contains('@'));
  EXPECT_TRUE(box.License->text().contains("GNU GPL version 3 or later"));
  EXPECT_EQ(box.OKButton->text(), "OK");
  EXPECT_EQ(box.OKButton->size(), QSize(225, 49));
  EXPECT_EQ(box.OKButton->font().pixelSize(), 21);

  box.show();
  EXPECT_TRUE(box.isVisible());
  box.OKButton->click();
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST_F(MainWindowTest, ClosingTheAboutBoxKeepsChartAndCalibrationFactor) {
  TAbout box(window.get());
  About = &box;
  window->show();
  window->Chart1->show();
  window->Store().CalibrationFactor = 6.25L;
  QTimer::singleShot(0, [&] { box.OKButton->click(); });
  window->About1Click();
  window->activateWindow();
  QApplication::processEvents();
  EXPECT_TRUE(window->Chart1->isVisible());
  EXPECT_EQ(window->Store().CalibrationFactor, 6.25L);
  About = nullptr;
}

}  // namespace

namespace {

// Tab goes through the toolbar, the run list, the mean list and the chart,
// so a run can be chosen without a mouse.
TEST_F(MainWindowTest, TabReachesTheRunListTheMeansAndTheChart) {
  window->show();
  QApplication::setActiveWindow(window.get());
  OpenFile(SamplePath("k8-sample.Rn"));
  window->ComboBox3->setCurrentIndex(0);
  window->ComboBox3Change();
  window->Open_SB->setFocus();
  QStringList order;
  for (int i = 0; i < 14 && order.size() < 14; ++i) {
    QWidget* focused = QApplication::focusWidget();
    const QString name = focused ? focused->objectName() : QStringLiteral("none");
    if (order.contains(name)) break;
    order << name;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(focused ? focused : window.get(), &tab);
  }
  // Disabled buttons are passed over; the mean list is enabled with a mean view.
  const qsizetype runs = order.indexOf("ComboBox3");
  const qsizetype chart = order.indexOf("Chart1");
  EXPECT_TRUE(order.indexOf("SpeedButton1") < runs && runs >= 0 && chart > runs)
      << order.join(", ").toStdString();
  EXPECT_EQ(order.size(), runs + 2) << order.join(", ").toStdString();
}

}  // namespace
