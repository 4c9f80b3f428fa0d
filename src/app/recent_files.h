// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Main > Open Recent: the data files opened or saved last, newest first,
// remembered between runs (group "recent" of the settings file).

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace kestrum {

inline constexpr int kRecentFileCount = 8;

QStringList RecentFiles();
// Puts the file first (once), keeping at most kRecentFileCount. The list is
// text: a name that text cannot hold exactly (not UTF-8) is left off it.
void AddRecentFile(const std::string& localName);
void RemoveRecentFile(const QString& path);

// The message when a chosen recent file has gone.
QString RecentFileGoneText(const QString& path);

// Why the recent file at path (shown as `shown`) cannot be opened any more:
// gone, or now a folder, FIFO or device; nothing for a regular file.
std::optional<QString> RecentFileProblem(const QString& shown, const std::string& path);

}  // namespace kestrum
