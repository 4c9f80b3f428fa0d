// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/user_prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

bool MessageBoxPrompts::Confirm(const QString& text) {
  return QMessageBox::question(parent_, QApplication::applicationName(), text,
                               QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Ok) == QMessageBox::Ok;
}

bool MessageBoxPrompts::ConfirmCancelDefault(const QString& text) {
  return QMessageBox::question(parent_, QApplication::applicationName(), text,
                               QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Cancel) == QMessageBox::Ok;
}

void MessageBoxPrompts::ShowError(const QString& text) {
  QMessageBox::critical(parent_, QApplication::applicationName(), text, QMessageBox::Ok);
}

std::optional<int> MessageBoxPrompts::AskNumber(const QString& text, int value, int low, int high) {
  bool ok = false;
  const int number = QInputDialog::getInt(parent_, QApplication::applicationName(), text, value,
                                          low, high, 1, &ok);
  if (!ok) return std::nullopt;
  return number;
}

std::optional<int> MessageBoxPrompts::AskChoice(const QString& text, const QStringList& items) {
  bool ok = false;
  const QString chosen =
      QInputDialog::getItem(parent_, QApplication::applicationName(), text, items, 0, false, &ok);
  if (!ok || !items.contains(chosen)) return std::nullopt;
  return static_cast<int>(items.indexOf(chosen));
}
