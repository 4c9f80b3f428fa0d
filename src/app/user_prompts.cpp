// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/user_prompts.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

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

std::optional<QDateTime> MessageBoxPrompts::AskDateTime(const QString& text,
                                                        const QDateTime& value) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(QApplication::applicationName());
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(text, &dialog);
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* edit = new QDateTimeEdit(&dialog);
  // The instrument's times are local times without a zone: no hour is
  // skipped or doubled by daylight saving.
  edit->setTimeSpec(Qt::UTC);
  edit->setDateTime(value);
  edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
  edit->setCalendarPopup(true);
  layout->addWidget(edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return edit->dateTime();
}
