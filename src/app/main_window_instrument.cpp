// SPDX-License-Identifier: GPL-3.0-or-later
// Main menu > Instrument: the toolbar's instrument commands with keys, for
// users who work from the menu or the keyboard.
#include <QEvent>
#include <QMenuBar>

#include "activity/command_activity.h"
#include "app/main_window.h"
#include "link/instrument_detection.h"

namespace {

// Keeps a menu entry enabled and visible exactly when its toolbar button is.
// The button's own state is what counts: the command guard disables the
// toolbar as a whole (and the menu bar with it) while a command runs. A
// change made meanwhile reaches the button without an event of its own, so
// the toolbar's return is watched too.
class ButtonMirror : public QObject {
 public:
  ButtonMirror(QAbstractButton* button, QAction* entry)
      : QObject(entry), button_(button), entry_(entry) {
    button->installEventFilter(this);
    button->parentWidget()->installEventFilter(this);
    Sync();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::EnabledChange:
      case QEvent::ShowToParent:
      case QEvent::HideToParent:
        Sync();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Sync() {
    QWidget* bar = button_->parentWidget();
    entry_->setEnabled(button_->isEnabledTo(bar));
    entry_->setVisible(button_->isVisibleTo(bar));
  }

  QAbstractButton* button_;
  QAction* entry_;
};

}  // namespace

void TForm1::BuildInstrumentMenu() {
  // A child of the menu bar, so the command guard greys it with the others.
  Instrument1 = new QMenu("&Instrument", menuBar());
  Instrument1->setObjectName("Instrument1");
  menuBar()->insertMenu(HelpMenu->menuAction(), Instrument1);
  const struct {
    QAction*& entry;
    const char* name;
    const char* caption;
    QKeySequence keys;
    QToolButton* button;
    Handler handler;
  } entries[] = {
      {DownloadMeasurements1, "DownloadMeasurements1", "&Download",
       QKeySequence(Qt::CTRL | Qt::Key_D), SpeedButton7, &TForm1::Dump_BtnClick},
      {SynchroniseClock1, "SynchroniseClock1", "Synchronise &clock",
       QKeySequence(Qt::CTRL | Qt::Key_T), SpeedButton3, &TForm1::SpeedButton3Click},
      // Shift as well: the erase question is all that stands before the memory is gone.
      {Erase1, "Erase1", "&Erase", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), ERASE_BTN,
       &TForm1::ERASE_BTNClick},
      {TriggerLevel1, "TriggerLevel1", "Trigger &level\u2026", QKeySequence(Qt::CTRL | Qt::Key_L),
       Level_button, &TForm1::Level_buttonClick},
  };
  for (const auto& item : entries) {
    item.entry = Instrument1->addAction(QString::fromUtf8(item.caption));
    item.entry->setObjectName(item.name);
    item.entry->setShortcut(item.keys);
    item.entry->setToolTip(item.button->toolTip());
    new ButtonMirror(item.button, item.entry);
    ConnectCommand(item.entry, item.handler);
  }
  Instrument1->addSeparator();
  Use1 = Instrument1->addMenu("&Use");
  Use1->setObjectName("Use1");
  connect(Use1, &QMenu::aboutToShow, this, &TForm1::FillUseMenu);
  FillUseMenu();
}

void TForm1::FillUseMenu() {
  Use1->clear();
  const std::vector<kestrum::TK5> attached = kestrum::ListAttachedInstruments();
  if (attached.empty()) {
    Use1->addAction("No instrument attached")->setEnabled(false);
    return;
  }
  for (const kestrum::TK5& instrument : attached) {
    const std::string name = kestrum::AttachedInstrumentName(instrument, History());
    QAction* entry =
        Use1->addAction(QString::fromStdString(name + " (" + instrument.Description + ")"));
    entry->setCheckable(true);
    entry->setChecked(kestrum::InstrumentAttached &&
                      instrument.SerialNo == kestrum::SelectedInstrument.SerialNo);
    connect(entry, &QAction::triggered, this, [this, serial = instrument.SerialNo] {
      kestrum::PreferInstrument(serial);
      DetectAttachedInstrument();
    });
  }
}

void TForm1::FollowChosenInstrument() {
  if (kestrum::SelectedInstrument.SerialNo == detectedSerial_) return;
  detectedSerial_ = kestrum::SelectedInstrument.SerialNo;
  Level_button->setEnabled(kestrum::InstrumentAttached && !Level_button->isHidden() &&
                           detectedSerial_ == levelSerial_);
}
