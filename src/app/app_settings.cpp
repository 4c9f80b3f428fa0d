#include "app/app_settings.h"

namespace kestrum {
namespace {

QString& SettingsFileOverride() {
  static QString path;
  return path;
}

}  // namespace

std::unique_ptr<QSettings> OpenAppSettings() {
  if (!SettingsFileOverride().isEmpty())
    return std::make_unique<QSettings>(SettingsFileOverride(), QSettings::IniFormat);
  // Named for the program, not for the window title, which the original keeps.
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "kestrum",
                                     "kestrum");
}

void SetAppSettingsFile(const QString& path) {
  SettingsFileOverride() = path;
}

}  // namespace kestrum
