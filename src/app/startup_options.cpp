#include "app/startup_options.h"

StartupOptions ParseStartupOptions(const QStringList& arguments) {
  StartupOptions options;
  for (int i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == "--emulate") {
      if (i + 1 >= arguments.size()) {
        options.error = "--emulate needs MODEL[:FILE.Rn][@DESCRIPTION]";
        return options;
      }
      options.emulate.push_back(arguments[++i].toStdString());
    } else if (argument.startsWith("--emulate=")) {
      options.emulate.push_back(argument.mid(10).toStdString());
    } else {
      options.error = "unknown argument: " + argument;
      return options;
    }
  }
  return options;
}
