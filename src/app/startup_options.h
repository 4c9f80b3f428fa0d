#pragma once
// The program's command line: `--emulate MODEL[:FILE.Rn][@DESCRIPTION]`,
// repeatable, attaches emulated instruments instead of the real USB bus;
// `--fault KIND`, repeatable, plans faults of the first of them.

#include <QStringList>
#include <string>
#include <vector>

#include "emulator/fault_option.h"

struct StartupOptions {
  std::vector<std::string> emulate;
  std::vector<kestrum::FaultOption> faults;
  QString error;  // empty when the command line was understood
};

// `arguments` without the program name.
StartupOptions ParseStartupOptions(const QStringList& arguments);
