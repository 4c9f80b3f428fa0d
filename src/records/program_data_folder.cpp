#include "records/program_data_folder.h"

#include <QFile>
#include <QStandardPaths>

namespace kestrum {
namespace {

std::string& FolderOverride() {
  static std::string folder;
  return folder;
}

}  // namespace

std::string ProgramDataFolder() {
  if (!FolderOverride().empty()) return FolderOverride();
  const QString generic = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QFile::encodeName(generic + "/kestrum").toStdString();
}

void SetProgramDataFolder(const std::string& folder) {
  FolderOverride() = folder;
}

}  // namespace kestrum
