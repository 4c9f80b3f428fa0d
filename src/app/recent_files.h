#pragma once
// Main > Open Recent: the data files opened or saved last, newest first,
// remembered between runs (group "recent" of the settings file).

#include <QString>
#include <QStringList>

namespace kestrum {

inline constexpr int kRecentFileCount = 8;

QStringList RecentFiles();
// Puts path first (once), keeping at most kRecentFileCount.
void AddRecentFile(const QString& path);
void RemoveRecentFile(const QString& path);

// The message when a chosen recent file has gone.
QString RecentFileGoneText(const QString& path);

}  // namespace kestrum
