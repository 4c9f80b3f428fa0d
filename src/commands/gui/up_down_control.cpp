// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/gui/up_down_control.h"

#include <QKeyEvent>
#include <algorithm>

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  up_->setAutoRepeat(true);
  down_->setAutoRepeat(true);
  connect(up_, &QToolButton::clicked, this, &UpDownControl::StepUp);
  connect(down_, &QToolButton::clicked, this, &UpDownControl::StepDown);
}

void UpDownControl::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  SetPosition(position_);
}

void UpDownControl::SetPosition(int position) {
  const int kept = std::clamp(position, min_, max_);
  const bool changed = kept != position_;
  position_ = kept;
  ShowPosition();
  if (changed) emit PositionChanged(position_);
}

void UpDownControl::Associate(QLineEdit* edit) {
  if (edit_) edit_->removeEventFilter(this);
  edit_ = edit;
  if (edit_) edit_->installEventFilter(this);
  ShowPosition();
}

void UpDownControl::ShowPosition() {
  if (edit_) edit_->setText(QString::number(position_));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress && isEnabled()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up) {
      StepUp();
      return true;
    }
    if (key == Qt::Key_Down) {
      StepDown();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}
