// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trigger-level dialog: the radon level at which the instrument's
// indicator turns from green to red, and whether it flashes. Created once at
// start-up and reused, so the user's last choice stays between openings.
// The level is stepped by the arrows or typed; Enter or "Set" takes a typed
// whole number within the range and refuses anything else, sending nothing.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "commands/gui/circle_shape.h"
#include "commands/gui/up_down_control.h"
#include "commands/trigger_level.h"

class TTrigger : public QDialog {
  Q_OBJECT
 public:
  explicit TTrigger(QWidget* parent = nullptr);

  CircleShape* Shape1 = nullptr;
  CircleShape* Shape2 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* Level_edit = nullptr;
  UpDownControl* UpDown1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  // Why a typed level was not taken; empty otherwise.
  QLabel* Refusal = nullptr;

  // Called before each opening with the CalibrationFactor of the moment: the
  // level "Set" sends is computed with it, and UpDown1 goes no higher than
  // the last position whose level fits the instrument's one-byte field.
  void LimitToCalibrationFactor(kestrum::Extended factor);
  kestrum::Extended CalibrationFactor() const { return factor_; }
  // Where "Set" shows what it does (the wait for a line still busy); not owned.
  void SetCommandEvents(kestrum::CommandWindow* events) { events_ = events; }

  // What the last "Set" did, for the caller.
  const std::optional<kestrum::TriggerOutcome>& LastOutcome() const { return lastOutcome_; }

 public slots:
  void CheckBox1Click();
  void Button1Click();
  void Button2Click();

 private:
  void BuildComponents();
  // The typed level when it is a whole number within the range; else says why.
  std::optional<int> TypedLevel();
  void TypingChanged(const QString& text);

  kestrum::Extended factor_ = 6.0L;
  kestrum::CommandWindow* events_ = nullptr;
  std::optional<kestrum::TriggerOutcome> lastOutcome_;
};

// The program's single instance, created at start-up.
extern TTrigger* Trigger;
