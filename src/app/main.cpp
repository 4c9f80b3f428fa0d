#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/protocol_log.h"
#include "app/startup_options.h"
#include "commands/gui/trigger_dialog.h"
#include "commands/ticking_sleeper.h"
#include "emulator/emulation_setup.h"
#include "emulator/fault_option.h"
#include "link/d2xx_unit.h"
#include "link/libftdi_driver.h"
#include "link/port_trace.h"
#include "link/port_wait.h"

static int RunProgram(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // The text the task bar shows.
  QApplication::setApplicationName("K5   Computer Interface");

  const StartupOptions options = ParseStartupOptions(QApplication::arguments().mid(1));
  if (!options.error.isEmpty()) {
    std::fprintf(stderr, "kestrum: %s\n", qPrintable(options.error));
    return 2;
  }

  // The instruments: emulated ones when asked for, the real USB bus otherwise.
  std::unique_ptr<kestrum::EmulatedBus> emulatedBus;
  std::unique_ptr<kestrum::LibFtdiDriver> usbDriver;
  if (!options.emulate.empty()) {
    std::string error;
    emulatedBus = kestrum::StartEmulation(options.emulate, kestrum::TimeMode::kRealTime, &error);
    if (!emulatedBus) {
      std::fprintf(stderr, "kestrum: %s\n", error.c_str());
      return 2;
    }
    kestrum::ApplyFaultOptions(options.faults, *emulatedBus);
  } else {
    usbDriver = std::make_unique<kestrum::LibFtdiDriver>();
    kestrum::SetFtDriver(usbDriver.get());
  }

  // The erase's long waits count their seconds on screen.
  kestrum::SetSleeper(
      kestrum::SecondTickingSleeper(emulatedBus ? emulatedBus->MakeSleeper() : kestrum::Sleeper(),
                                    [](int elapsedMs, int totalMs) {
                                      if (Form1) Form1->LongWaitTick(elapsedMs, totalMs);
                                    }));
  const QString logError = StartProtocolLogFromEnvironment();
  if (!logError.isEmpty()) std::fprintf(stderr, "kestrum: %s\n", qPrintable(logError));

  TForm1 mainWindow;
  Form1 = &mainWindow;
  TAbout aboutBox(&mainWindow);
  About = &aboutBox;
  TTrigger triggerDialog(&mainWindow);
  Trigger = &triggerDialog;

  mainWindow.show();
  const int status = QApplication::exec();
  kestrum::SetPortTraceSink({});
  kestrum::SetSleeper({});
  kestrum::SetFtDriver(nullptr);
  if (emulatedBus) kestrum::StopEmulation();
  return status;
}

int main(int argc, char* argv[]) {
  // The last resort: whatever was not foreseen ends with a message, not an abort.
  try {
    return RunProgram(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrum: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "kestrum: an unexpected error\n");
  }
  return 2;
}
