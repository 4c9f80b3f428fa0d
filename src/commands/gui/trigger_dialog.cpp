// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/gui/trigger_dialog.h"

TTrigger* Trigger = nullptr;

namespace {

QFont PixelFont(const QFont& base, int pixels) {
  QFont font = base;
  font.setPixelSize(pixels);
  return font;
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(PixelFont(parent->font(), 21));
  label->move(x, y);
  label->adjustSize();
  return label;
}

}  // namespace

TTrigger::TTrigger(QWidget* parent) : QDialog(parent) {
  setObjectName("Trigger");
  setWindowTitle("Trigger level");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint);
  setFixedSize(668, 184);
  setFont(PixelFont(font(), 11));
  BuildComponents();
  LimitToCalibrationFactor(factor_);
}

void TTrigger::BuildComponents() {
  Shape1 = new CircleShape(Qt::red, this);
  Shape1->setObjectName("Shape1");
  Shape1->setGeometry(16, 8, 65, 65);
  Label2 = AddLabel(this, "Label2", "High Level", 96, 28);

  Shape2 = new CircleShape(QColor(0x00, 0xFF, 0x00), this);  // lime
  Shape2->setObjectName("Shape2");
  Shape2->setGeometry(16, 96, 65, 65);
  Label3 = AddLabel(this, "Label3", "Low Level", 96, 116);

  Label1 = AddLabel(this, "Label1", "Trigger between Low and High level at", 248, 16);

  Level_edit = new QLineEdit(this);
  Level_edit->setObjectName("Level_edit");
  Level_edit->setFont(PixelFont(font(), 21));
  Level_edit->setGeometry(248, 56, 89, 31);
  Level_edit->setMaxLength(6);
  connect(Level_edit, &QLineEdit::textEdited, this, &TTrigger::TypingChanged);
  connect(Level_edit, &QLineEdit::returnPressed, this, &TTrigger::Button1Click);

  UpDown1 = new UpDownControl(this);
  UpDown1->setObjectName("UpDown1");
  UpDown1->setGeometry(337, 56, 17, 31);
  UpDown1->SetRange(kestrum::kTriggerPositionMin, kestrum::kTriggerPositionMax);
  UpDown1->SetIncrement(kestrum::kTriggerPositionStep);
  UpDown1->SetPosition(kestrum::kTriggerPositionStart);
  UpDown1->Associate(Level_edit);

  Label4 = AddLabel(this, "Label4", "Bq/m3", 362, 60);

  CheckBox1 = new QCheckBox("Flash RED/GREEN", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setFont(PixelFont(font(), 14));
  CheckBox1->move(248, 106);
  CheckBox1->adjustSize();
  connect(CheckBox1, &QCheckBox::clicked, this, &TTrigger::CheckBox1Click);

  Refusal = new QLabel(this);
  Refusal->setObjectName("LevelRefusal");
  Refusal->setGeometry(248, 88, 410, 16);
  Refusal->setStyleSheet(QStringLiteral("color: #b00000"));

  Button1 = new QPushButton("Set", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(472, 144, 75, 25);
  // Enter in the edit is taken there, once; no button takes it as well.
  Button1->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &TTrigger::Button1Click);

  Button2 = new QPushButton("Cancel", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(568, 144, 75, 25);
  Button2->setAutoDefault(false);
  connect(Button2, &QPushButton::clicked, this, &TTrigger::Button2Click);
}

void TTrigger::LimitToCalibrationFactor(kestrum::Extended factor) {
  factor_ = factor;
  const int highest = kestrum::HighestFittingPosition(factor);
  UpDown1->SetRange(kestrum::kTriggerPositionMin, highest);
  const QString hint =
      QString("Highest level the instrument can take at %1 Bq/m3 per pulse: %2 Bq/m3")
          .arg(static_cast<double>(factor), 0, 'f', 2)
          .arg(highest);
  Level_edit->setToolTip(hint);
  UpDown1->setToolTip(hint);
}

void TTrigger::CheckBox1Click() {
  // The level is still sent with the flash option; only the edit greys out.
  Level_edit->setEnabled(!CheckBox1->isChecked());
}

std::optional<int> TTrigger::TypedLevel() {
  bool number = false;
  const int level = Level_edit->text().trimmed().toInt(&number);
  if (number && level >= UpDown1->Min() && level <= UpDown1->Max()) {
    Refusal->clear();
    return level;
  }
  Refusal->setText(QStringLiteral("Type a whole number from %1 to %2 Bq/m3; nothing was sent.")
                       .arg(UpDown1->Min())
                       .arg(UpDown1->Max()));
  return std::nullopt;
}

void TTrigger::TypingChanged(const QString& text) {
  // The arrows step on from what was typed, once it is a level.
  bool number = false;
  const int level = text.trimmed().toInt(&number);
  if (number && level >= UpDown1->Min() && level <= UpDown1->Max()) {
    const int cursor = Level_edit->cursorPosition();
    UpDown1->SetPosition(level);
    Level_edit->setCursorPosition(cursor);
  }
}

void TTrigger::Button1Click() {
  const std::optional<int> level = TypedLevel();
  if (!level) return;
  UpDown1->SetPosition(*level);
  lastOutcome_ = kestrum::SetTriggerLevel(*level, CheckBox1->isChecked(), factor_, events_);
  accept();
}

void TTrigger::Button2Click() {
  reject();
}
