// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/settings_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <map>

#include "records/checked_file.h"
#include "records/guarded_read.h"

namespace kestrum {
namespace {

// Far more than any settings file of this program.
constexpr std::size_t kLongestSettings = 1 << 20;

// Why the file at path may not be read and written by QSettings.
std::optional<std::string> ProblemOf(const std::string& path) {
  if (QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(path))).toStdString() != path) {
    return path + " cannot be named through Qt (it is not valid in the system's encoding)";
  }
  struct stat linkInfo {};
  if (::lstat(path.c_str(), &linkInfo) != 0) return std::nullopt;  // made new when first written
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return path + " is a link to nothing";
  if (!S_ISREG(info.st_mode)) return path + " is not a regular file";
  if ((info.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && errno != ENOENT)) {
    return path + " is read-only";
  }
  return std::nullopt;
}

// The private copy a file's settings live in for this run, made once per
// file, with what the file held when it is a readable regular file.
QString PrivateCopy(const std::string& path) {
  static QTemporaryDir folder;
  static std::map<std::string, QString> copies;
  const auto known = copies.find(path);
  if (known != copies.end()) return known->second;
  const QString copy = folder.filePath(QStringLiteral("settings-%1.ini").arg(copies.size()));
  const Result<GuardedRead> read = ReadRegularFile(path, kLongestSettings);
  if (read && !read->missing && !read->truncated) {
    (void)WriteFileReplacing(QFile::encodeName(copy).toStdString(), read->bytes);
  }
  copies[path] = copy;
  return copy;
}

}  // namespace

SettingsFile OpenSettingsFile(const std::string& path) {
  SettingsFile file;
  file.problem = ProblemOf(path);
  const QString name =
      file.problem ? PrivateCopy(path) : QFile::decodeName(QByteArray::fromStdString(path));
  file.settings = std::make_unique<QSettings>(name, QSettings::IniFormat);
  if (file.problem) *file.problem += "; settings are kept for this run only";
  return file;
}

}  // namespace kestrum
