#include "commands/gui/trigger_dialog.h"

TTrigger* Trigger = nullptr;

TTrigger::TTrigger(QWidget* parent) : QDialog(parent) {
  setObjectName("Trigger");
  setWindowTitle("Trigger level");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint);
  setFixedSize(668, 184);
}
