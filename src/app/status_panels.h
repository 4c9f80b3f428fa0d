// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The status bar: panel 0 (300 px) tells whether an instrument is attached,
// panel 1 (the rest) carries the progress of the current command. Panel 2, at
// the right end, keeps the last command's outcome until the next one; it is
// hidden while it has nothing to say, so the bar looks as it always did.

#include <QLabel>
#include <QStatusBar>

class StatusPanels : public QStatusBar {
  Q_OBJECT
 public:
  static constexpr int kOutcomePanel = 2;

  explicit StatusPanels(QWidget* parent = nullptr);

  QString Text(int panel) const;
  void SetText(int panel, const QString& text);
  int PanelWidth(int panel) const;
  // Paints at once, so a text shows while a command blocks the thread.
  void RepaintNow();

 private:
  QLabel* panels_[3];
};
