#include "app/recent_files.h"

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

}  // namespace kestrum
