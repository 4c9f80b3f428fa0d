// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/first_frame_report.h"
#include "app/history_timing_report.h"
#include "app/local_names.h"
#include "app/main_window.h"
#include "app/protocol_log.h"
#include "app/selection_timing_report.h"
#include "app/startup_options.h"
#include "commands/gui/trigger_dialog.h"
#include "emulator/emulation_setup.h"
#include "emulator/fault_option.h"
#include "link/d2xx_unit.h"
#include "link/libftdi_driver.h"
#include "link/port_trace.h"
#include "link/port_wait.h"
#include "records/program_data_folder.h"

namespace {

// The words as the system gave them: a file name need not be UTF-8.
std::vector<std::string> ArgumentsOf(int argc, char* argv[]) {
  return std::vector<std::string>(argv, argv + argc);
}

int RunProgram(int argc, char* argv[]) {
  // Help, version and wrong words are answered before the application
  // starts, so they need no display (without one, QApplication aborts).
  const kestrum::Result<StartupOptions> early =
      ParseStartupOptions(WithoutQtOptions(ArgumentsOf(argc, argv)));
  if (!early) {
    std::fprintf(stderr, "kestrum: %s\nSee kestrum --help.\n", early.error().c_str());
    return 2;
  }
  if (early->action == StartupOptions::Action::kHelp ||
      early->action == StartupOptions::Action::kVersion) {
    std::fputs(qPrintable(early->text), stdout);
    return 0;
  }

  QApplication application(argc, argv);
  // The text the task bar shows.
  QApplication::setApplicationName("K5   Computer Interface");
  // Lets the desktop match the window to its entry and icon.
  QGuiApplication::setDesktopFileName("org.kestrum.Kestrum");

  // QApplication took Qt's own options (-platform, -style ...) out of argv.
  const kestrum::Result<StartupOptions> parsed = ParseStartupOptions(ArgumentsOf(argc, argv));
  if (!parsed) {
    std::fprintf(stderr, "kestrum: %s\nSee kestrum --help.\n", parsed.error().c_str());
    return 2;
  }
  const StartupOptions& options = parsed.value();

  // Working files go where asked: the desktop's start folder is the home folder.
  if (options.dataWorkDir || !options.workDir.empty()) {
    const std::string folder = options.dataWorkDir ? kestrum::ProgramDataFolder() + "/work"
                                                   : kestrum::AbsoluteLocalName(options.workDir);
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made || !std::filesystem::is_directory(folder)) {
      std::fprintf(stderr, "kestrum: cannot use %s as the working folder: %s\n", folder.c_str(),
                   made ? made.message().c_str() : "not a folder");
      return 2;
    }
    kestrum::SetWorkFolder(folder);
  }

  // The instruments: emulated ones when asked for, the real USB bus otherwise.
  std::unique_ptr<kestrum::EmulatedBus> emulatedBus;
  std::unique_ptr<kestrum::LibFtdiDriver> usbDriver;
  if (!options.emulate.empty()) {
    auto started = kestrum::StartEmulation(options.emulate, kestrum::TimeMode::kRealTime);
    if (!started) {
      std::fprintf(stderr, "kestrum: %s\n", started.error().c_str());
      return 2;
    }
    emulatedBus = std::move(started).value();
    kestrum::ApplyFaultOptions(options.faults, *emulatedBus);
  } else {
    usbDriver = std::make_unique<kestrum::LibFtdiDriver>();
    kestrum::SetFtDriver(usbDriver.get());
  }

  // Emulated instruments keep their own time.
  kestrum::SetSleeper(emulatedBus ? emulatedBus->MakeSleeper() : kestrum::Sleeper());
  const kestrum::Result<> logStarted = StartProtocolLogFromEnvironment();
  if (!logStarted) std::fprintf(stderr, "kestrum: %s\n", logStarted.error().c_str());

  TForm1 mainWindow;
  Form1 = &mainWindow;
  TAbout aboutBox(&mainWindow);
  About = &aboutBox;
  TTrigger triggerDialog(&mainWindow);
  Trigger = &triggerDialog;
  triggerDialog.SetCommandEvents(&mainWindow.CommandEvents());

  if (emulatedBus) mainWindow.AddEmulationMenu(*emulatedBus);
  ReportFirstFrameWhenAsked(mainWindow);
  ReportHistoryTimingWhenAsked(mainWindow);
  ReportSelectionTimingWhenAsked(mainWindow);
  mainWindow.show();
  if (!options.file.empty()) {
    const std::string path = kestrum::AbsoluteLocalName(options.file);
    QTimer::singleShot(0, &mainWindow, [&mainWindow, path] { mainWindow.OpenLocalDataFile(path); });
  }
  const int status = QApplication::exec();
  kestrum::SetPortTraceSink({});
  kestrum::SetSleeper({});
  kestrum::SetFtDriver(nullptr);
  if (emulatedBus) kestrum::StopEmulation();
  return status;
}

}  // namespace

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
