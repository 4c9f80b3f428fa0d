#pragma once
// The program's command line, read with QCommandLineParser:
//   kestrum [--emulate MODEL[:FILE.Rn][@DESCRIPTION]]... [--fault KIND]... [FILE.Rn]
// --emulate attaches emulated instruments instead of the real USB bus;
// --fault plans faults of the first of them; a FILE.Rn is opened after
// start-up as Main > Open would, so a file manager can open data files with
// the program. --help and --version answer and end.

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "emulator/fault_option.h"
#include "records/result.h"

#include "kestrum_version.h"

struct StartupOptions {
  enum class Action { kStart, kHelp, kVersion };
  Action action = Action::kStart;
  std::vector<std::string> emulate;
  std::vector<kestrum::FaultOption> faults;
  QString file;  // the data file to open after start-up; empty: none
  QString text;  // kHelp, kVersion: the text for standard output
};

// `arguments` with the program name first, as QCoreApplication::arguments().
// A command line that cannot be used is the failure.
kestrum::Result<StartupOptions> ParseStartupOptions(const QStringList& arguments);
