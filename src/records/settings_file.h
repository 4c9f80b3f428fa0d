// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file, opened only where keeping settings cannot harm
// anything: a regular file (links followed) that may be written, or a name
// where none exists yet. Anything else (a device, a FIFO, a folder, a
// dangling link, a read-only file, a name the system's bytes cannot carry
// through Qt) is left alone, and the settings live for this run only, in a
// private copy that starts from what the file held when it could be read.

#include <QSettings>
#include <memory>
#include <optional>
#include <string>

namespace kestrum {

struct SettingsFile {
  std::unique_ptr<QSettings> settings;
  // Why the settings will not be remembered; none when they will.
  std::optional<std::string> problem;
};

// path: the file's name as the system's bytes.
SettingsFile OpenSettingsFile(const std::string& path);

}  // namespace kestrum
