// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modal box of a command's long exchange. The command ends it, not the
// user: Esc and a close request from the window manager leave it up while
// the command still holds the instrument, and the box has no close button.
// On a box with Cancel, both mean Cancel.

#include <QProgressDialog>

class WaitBox : public QProgressDialog {
  Q_OBJECT
 public:
  // An empty cancelText gives a box without Cancel.
  WaitBox(const QString& label, const QString& cancelText, int maximum, QWidget* parent);

 public slots:
  // Where Esc ends up.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  bool cancellable_;
};
