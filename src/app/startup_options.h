// SPDX-License-Identifier: GPL-3.0-or-later
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
  std::string file;  // the data file to open after start-up, as given; empty: none
  // The folder for the working files, as given; empty: the current folder.
  std::string workDir;
  bool dataWorkDir = false;  // the folder "work" in the program's data folder
  QString text;              // kHelp, kVersion: the text for standard output
};

// `arguments` with the program name first, as the system's bytes (argv,
// after QApplication took its own options out), so a file name that is not
// UTF-8 stays the name given. A command line that cannot be used is the
// failure; its text quotes the words as given.
kestrum::Result<StartupOptions> ParseStartupOptions(const std::vector<std::string>& arguments);
// The same for words as Qt text.
kestrum::Result<StartupOptions> ParseStartupOptions(const QStringList& arguments);

// The words without the options QApplication takes for itself (-platform
// offscreen, -style=fusion, --display :1, -reverse ...), so the command line
// can be judged before the application, which needs a display, starts.
std::vector<std::string> WithoutQtOptions(const std::vector<std::string>& arguments);
