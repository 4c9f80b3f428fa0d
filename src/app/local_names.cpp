// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/local_names.h"

#include <QFile>
#include <filesystem>
#include <system_error>

namespace kestrum {

Result<std::string> LocalNameOf(const QString& name) {
  const QByteArray bytes = QFile::encodeName(name);
  if (name.contains(QChar::ReplacementCharacter) || QFile::decodeName(bytes) != name) {
    return Fail(UnusableNameText(name).toStdString());
  }
  return bytes.toStdString();
}

QString ShownName(const std::string& localName) {
  return QFile::decodeName(QByteArray::fromStdString(localName));
}

QString UnusableNameText(const QString& shownName) {
  return shownName +
         ": this file name cannot be used by the program (it is not valid UTF-8); rename it";
}

std::string CurrentFolder() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  return error ? std::string() : folder.string();
}

namespace {

std::string& WorkFolderOverride() {
  static std::string folder;
  return folder;
}

}  // namespace

std::string WorkFolder() {
  return WorkFolderOverride().empty() ? CurrentFolder() : WorkFolderOverride();
}

void SetWorkFolder(const std::string& folder) {
  WorkFolderOverride() = folder;
}

std::string AbsoluteLocalName(const std::string& localName) {
  if (localName.empty() || localName.front() == '/') return localName;
  const std::string folder = CurrentFolder();
  if (folder.empty()) return localName;
  return folder.back() == '/' ? folder + localName : folder + "/" + localName;
}

}  // namespace kestrum
