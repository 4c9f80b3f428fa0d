// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recent_files.h"

#include <sys/stat.h>

#include "app/app_settings.h"
#include "app/local_names.h"

namespace kestrum {
namespace {

constexpr char kKey[] = "recent/files";

void Store(const QStringList& files) {
  OpenAppSettings()->setValue(kKey, files);
}

}  // namespace

QStringList RecentFiles() {
  QStringList files = OpenAppSettings()->value(kKey).toStringList();
  files.removeAll(QString());
  return files.mid(0, kRecentFileCount);
}

void AddRecentFile(const std::string& localName) {
  const std::string absoluteName = AbsoluteLocalName(localName);
  const QString absolute = ShownName(absoluteName);
  if (!LocalNameOf(absolute)) return;
  QStringList files = RecentFiles();
  files.removeAll(absolute);
  files.prepend(absolute);
  Store(files.mid(0, kRecentFileCount));
}

void RemoveRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  files.removeAll(path);
  Store(files);
}

QString RecentFileGoneText(const QString& path) {
  return path + " is no longer there; it has been taken off Open Recent.";
}

std::optional<QString> RecentFileProblem(const QString& shown, const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return RecentFileGoneText(shown);
  if (S_ISREG(info.st_mode)) return std::nullopt;
  QString what = QStringLiteral("is not a regular file");
  if (S_ISDIR(info.st_mode)) {
    what = QStringLiteral("is now a folder");
  } else if (S_ISFIFO(info.st_mode)) {
    what = QStringLiteral("is now a FIFO (a named pipe)");
  } else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
    what = QStringLiteral("is now a device");
  } else if (S_ISSOCK(info.st_mode)) {
    what = QStringLiteral("is now a socket");
  }
  return shown + " " + what + ", not a data file; it has been taken off Open Recent.";
}

}  // namespace kestrum
