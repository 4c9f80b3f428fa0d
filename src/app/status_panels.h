#pragma once
// The two-panel status bar: panel 0 (300 px) tells whether an instrument is
// attached, panel 1 (the rest) carries the progress of the current command.

#include <QLabel>
#include <QStatusBar>

class StatusPanels : public QStatusBar {
  Q_OBJECT
 public:
  explicit StatusPanels(QWidget* parent = nullptr);

  QString Text(int panel) const;
  void SetText(int panel, const QString& text);
  int PanelWidth(int panel) const;
  // Paints at once, so a text shows while a command blocks the thread.
  void RepaintNow();

 private:
  QLabel* panels_[2];
};
