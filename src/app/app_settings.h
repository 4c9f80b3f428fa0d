// SPDX-License-Identifier: GPL-3.0-or-later
// What the window remembers between runs: window placement, folders, recent files and view
// choices. Kept in the user's configuration folder; a damaged or missing file reads as defaults.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

namespace kestrum {

// The settings file, opened afresh: every reader sees what the last writer synced.
// Where the file may not be kept (see records/settings_file.h) the settings
// live for this run only.
std::unique_ptr<QSettings> OpenAppSettings();

// Why the settings will not be remembered, for the status bar; none when they will.
std::optional<QString> SettingsProblem();

// Tests keep their settings in a folder of their own.
void SetAppSettingsFile(const QString& path);

}  // namespace kestrum
