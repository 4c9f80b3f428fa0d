// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/wait_box.h"

#include <QCloseEvent>

WaitBox::WaitBox(const QString& label, const QString& cancelText, int maximum, QWidget* parent)
    : QProgressDialog(label, cancelText, 0, maximum, parent), cancellable_(!cancelText.isEmpty()) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  if (!cancellable_) setCancelButton(nullptr);
}

void WaitBox::reject() {
  if (cancellable_) cancel();
}

void WaitBox::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (cancellable_) cancel();
}
