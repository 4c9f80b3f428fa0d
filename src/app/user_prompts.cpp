#include "app/user_prompts.h"

#include <QApplication>
#include <QMessageBox>

bool MessageBoxPrompts::Confirm(const QString& text) {
  return QMessageBox::question(parent_, QApplication::applicationName(), text,
                               QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Ok) == QMessageBox::Ok;
}

void MessageBoxPrompts::ShowError(const QString& text) {
  QMessageBox::critical(parent_, QApplication::applicationName(), text, QMessageBox::Ok);
}
