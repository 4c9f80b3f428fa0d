// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// View > Activity: the latest entries of the activity log (downloads, clock,
// erase, trigger level, imports), newest first. Off until the user asks for
// it; whether it is shown is remembered in the settings group "docks".

#include <QDockWidget>
#include <QString>
#include <vector>

#include "history/history_types.h"

class QTreeWidget;

class ActivityDock : public QDockWidget {
  Q_OBJECT
 public:
  static constexpr int kShownEntries = 50;

  explicit ActivityDock(QWidget* parent);

  // The entries as the history gives them, newest first.
  void ShowEntries(const std::vector<kestrum::ActivityEntry>& entries);
  // No history to read: the dock says why.
  void ShowUnavailable(const QString& why);
  QTreeWidget* List() const { return list_; }

 private:
  QTreeWidget* list_;
};

bool LoadActivityShown();
void SaveActivityShown(bool shown);
