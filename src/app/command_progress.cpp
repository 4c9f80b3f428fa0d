// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_progress.h"

#include <QApplication>
#include <QFontMetrics>
#include <algorithm>

#include "app/wait_box.h"
#include "commands/command_cycle.h"

CommandProgress::~CommandProgress() {
  End();
}

void CommandProgress::Open(const QString& title, const QString& label, int maximum,
                           bool cancellable) {
  End();
  dialog_ = new WaitBox(label, cancellable ? "Cancel" : QString(), maximum, parent_);
  dialog_->setObjectName("CommandProgress");
  dialog_->setWindowTitle(title);
  // Wide enough that a window manager shows the whole title, with room for
  // its buttons.
  const QFontMetrics titleFont(QApplication::font("QMdiSubWindowTitleBar"));
  dialog_->setMinimumWidth(
      std::max(dialog_->sizeHint().width(), titleFont.horizontalAdvance(title) + 140));
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setMinimumDuration(0);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setValue(0);
  dialog_->show();
  QApplication::processEvents();
}

void CommandProgress::TransferBegins(const QString& title, std::uint32_t requested) {
  Open(title, QString("0 of %1 bytes received").arg(requested), static_cast<int>(requested), true);
}

bool CommandProgress::TransferProgress(std::uint32_t received) {
  if (!dialog_) return true;
  dialog_->setLabelText(QString("%1 of %2 bytes received").arg(received).arg(dialog_->maximum()));
  dialog_->setValue(static_cast<int>(received));
  QApplication::processEvents();
  return dialog_ && !dialog_->wasCanceled();
}

void CommandProgress::DrainBegins() {
  // No maximum: nobody knows how much the instrument has left to send.
  Open("Kestrum", kestrum::kWaitingForInstrumentText, 0, true);
}

bool CommandProgress::DrainProgress() {
  if (!dialog_) return true;
  QApplication::processEvents();
  return dialog_ && !dialog_->wasCanceled();
}

void CommandProgress::WaitBegins(const QString& title, int milliseconds) {
  const int seconds = (milliseconds + 999) / 1000;
  Open(title, QString("0 of %1 s").arg(seconds), seconds, false);
}

void CommandProgress::WaitTick(int elapsedMs) {
  if (!dialog_) return;
  const int seconds = elapsedMs / 1000;
  dialog_->setLabelText(QString("%1 of %2 s").arg(seconds).arg(dialog_->maximum()));
  dialog_->setValue(seconds);
  QApplication::processEvents();
}

void CommandProgress::End() {
  if (!dialog_) return;
  dialog_->hide();
  dialog_->deleteLater();
  dialog_ = nullptr;
}
