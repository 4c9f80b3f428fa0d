#pragma once
// The program's command line: `--emulate MODEL[:FILE.Rn][@DESCRIPTION]`,
// repeatable, attaches emulated instruments instead of the real USB bus.

#include <QStringList>
#include <string>
#include <vector>

struct StartupOptions {
  std::vector<std::string> emulate;
  QString error;  // empty when the command line was understood
};

// `arguments` without the program name.
StartupOptions ParseStartupOptions(const QStringList& arguments);
