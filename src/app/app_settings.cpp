// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_settings.h"

#include <QFile>
#include <cstdlib>

#include "records/settings_file.h"

namespace kestrum {
namespace {

std::string& SettingsFileOverride() {
  static std::string path;
  return path;
}

std::optional<std::string>& LastProblem() {
  static std::optional<std::string> problem;
  return problem;
}

// Where QSettings keeps an IniFormat user file of "kestrum"/"kestrum",
// built from the environment's bytes: a name that is not UTF-8 stays itself.
std::string StandardSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home ? home : "") + "/.config";
  }
  return folder + "/kestrum/kestrum.ini";
}

}  // namespace

std::unique_ptr<QSettings> OpenAppSettings() {
  const std::string path =
      SettingsFileOverride().empty() ? StandardSettingsPath() : SettingsFileOverride();
  SettingsFile file = OpenSettingsFile(path);
  LastProblem() = file.problem;
  return std::move(file.settings);
}

std::optional<QString> SettingsProblem() {
  (void)OpenAppSettings();
  if (!LastProblem()) return std::nullopt;
  return QString::fromStdString(*LastProblem());
}

void SetAppSettingsFile(const QString& path) {
  SettingsFileOverride() = QFile::encodeName(path).toStdString();
}

}  // namespace kestrum
