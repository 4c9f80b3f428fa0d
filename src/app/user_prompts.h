// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Message boxes and questions reach the window through this seam so tests can answer them.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  // Question icon, OK and Cancel; true when the user chose OK.
  virtual bool Confirm(const QString& text) = 0;
  // The same with Cancel as the default button, for questions where OK loses data.
  virtual bool ConfirmCancelDefault(const QString& text) = 0;
  // Error icon, one OK button.
  virtual void ShowError(const QString& text) = 0;
  // A whole number from low to high, offered as `value`; nothing when cancelled.
  virtual std::optional<int> AskNumber(const QString& text, int value, int low, int high) = 0;
  // One of `items`, by its index; nothing when cancelled.
  virtual std::optional<int> AskChoice(const QString& text, const QStringList& items) = 0;
  // A date and time to the minute, offered as `value`; nothing when cancelled.
  virtual std::optional<QDateTime> AskDateTime(const QString& text, const QDateTime& value) = 0;
};

// The real boxes, modal over the given parent.
class MessageBoxPrompts : public UserPrompts {
 public:
  explicit MessageBoxPrompts(QWidget* parent) : parent_(parent) {}
  bool Confirm(const QString& text) override;
  bool ConfirmCancelDefault(const QString& text) override;
  void ShowError(const QString& text) override;
  std::optional<int> AskNumber(const QString& text, int value, int low, int high) override;
  std::optional<int> AskChoice(const QString& text, const QStringList& items) override;
  std::optional<QDateTime> AskDateTime(const QString& text, const QDateTime& value) override;

 private:
  QWidget* parent_;
};
