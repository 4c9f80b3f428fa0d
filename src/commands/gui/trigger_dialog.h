#pragma once
// The trigger-level dialog: the radon level at which the instrument's
// indicator turns from green to red, and whether it flashes.

#include <QDialog>

class TTrigger : public QDialog {
  Q_OBJECT
 public:
  explicit TTrigger(QWidget* parent = nullptr);
};

// The program's single instance, created at start-up.
extern TTrigger* Trigger;
