#include <QApplication>

#include "app/about_box.h"
#include "app/main_window.h"
#include "commands/gui/trigger_dialog.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // The text the task bar shows.
  QApplication::setApplicationName("K5   Computer Interface");
  QApplication::setApplicationDisplayName("K5   Computer Interface");

  TForm1 mainWindow;
  Form1 = &mainWindow;
  TAbout aboutBox(&mainWindow);
  About = &aboutBox;
  TTrigger triggerDialog(&mainWindow);
  Trigger = &triggerDialog;

  mainWindow.show();
  return QApplication::exec();
}
