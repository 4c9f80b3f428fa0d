// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/last_folders.h"

#include <QDir>
#include <QFileInfo>

#include "app/app_settings.h"

namespace kestrum {
namespace {

QString Key(DialogFolder dialog) {
  switch (dialog) {
    case DialogFolder::kOpen:
      return "folders/open";
    case DialogFolder::kSave:
      return "folders/save";
    case DialogFolder::kData:
      return "folders/data";
    case DialogFolder::kReport:
      break;
  }
  return "folders/report";
}

}  // namespace

QString LastFolder(DialogFolder dialog) {
  return OpenAppSettings()->value(Key(dialog)).toString();
}

void RememberFolderOf(DialogFolder dialog, const QString& chosenFile) {
  OpenAppSettings()->setValue(Key(dialog), QFileInfo(chosenFile).absolutePath());
}

QString ExistingLastFolder(DialogFolder dialog) {
  const QString folder = LastFolder(dialog);
  // A folder that has gone would only give the dialog a dead end.
  if (folder.isEmpty() || !QDir(folder).exists()) return {};
  return folder;
}

QString InitialDialogPath(DialogFolder dialog, const QString& lastFileName,
                          const QString& defaultName) {
  if (!lastFileName.isEmpty()) return lastFileName;
  const QString folder = ExistingLastFolder(dialog);
  if (folder.isEmpty()) return {};
  return QDir(folder).filePath(defaultName);
}

}  // namespace kestrum
