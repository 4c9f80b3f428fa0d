#include "app/startup_options.h"

namespace {

bool AddFault(StartupOptions& options, const QString& value) {
  std::string error;
  const std::optional<kestrum::FaultOption> fault =
      kestrum::ParseFaultOption(value.toStdString(), &error);
  if (!fault) {
    options.error = QString::fromStdString(error);
    return false;
  }
  options.faults.push_back(*fault);
  return true;
}

}  // namespace

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
    } else if (argument == "--fault" || argument.startsWith("--fault=")) {
      if (!AddFault(options, argument == "--fault" ? arguments.value(++i) : argument.mid(8))) {
        return options;
      }
    } else {
      options.error = "unknown argument: " + argument;
      return options;
    }
  }
  if (!options.faults.empty() && options.emulate.empty()) {
    options.error = "--fault needs an emulated instrument (--emulate)";
  }
  return options;
}
