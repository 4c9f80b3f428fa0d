// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modal progress box of the long instrument exchanges: the memory
// transfer of a download (bytes received of requested, with Cancel) and the
// erase's long waits (seconds counted, no Cancel). It runs the event loop
// while it is up, as the message boxes of the commands do.

#include <QPointer>
#include <QProgressDialog>
#include <cstdint>

class CommandProgress {
 public:
  explicit CommandProgress(QWidget* parent) : parent_(parent) {}
  ~CommandProgress();

  void TransferBegins(const QString& title, std::uint32_t requested);
  // False once the user chose Cancel.
  bool TransferProgress(std::uint32_t received);
  // The wait for an instrument still sending from a broken-off transfer;
  // its Cancel ends the command.
  void DrainBegins();
  bool DrainProgress();
  void WaitBegins(const QString& title, int milliseconds);
  void WaitTick(int elapsedMs);
  void End();

  // The box while it is up, else null.
  QProgressDialog* Dialog() const { return dialog_; }

 private:
  void Open(const QString& title, const QString& label, int maximum, bool cancellable);

  QWidget* parent_;
  QPointer<QProgressDialog> dialog_;
};
