// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/checked_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

namespace kestrum {
namespace {

// As many links as the kernel itself follows before giving up.
constexpr int kMaxLinks = 40;

std::string SystemErrorText(int error) {
  return std::strerror(error);
}

// Writes everything, retrying short writes; returns 0 or the errno value.
int WriteAll(int fd, std::string_view content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return 0;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a write to path lands in: symbolic links followed to their end,
// which need not exist yet. Sets *error on a loop or an unreadable link.
std::string FinalTarget(std::string path, int* error) {
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) {
      *error = length < 0 ? errno : ENAMETOOLONG;
      return path;
    }
    const std::string next(target, static_cast<std::size_t>(length));
    path = next.front() == '/' ? next : PathInFolder(FolderOf(path), next);
  }
  *error = ELOOP;
  return path;
}

// Permission bits of a new file under the present umask.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Why an existing target may not be replaced, or nothing.
std::optional<std::string> RefusalOf(const std::string& target, const struct stat& existing) {
  if (!S_ISREG(existing.st_mode)) return target + " is not a regular file";
  // Root may write anything; a file nobody may write is still meant to stay.
  if ((existing.st_mode & 0222) == 0) return target + " is read-only";
  if (::access(target.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS)) {
    return target + " is read-only";
  }
  return std::nullopt;
}

std::string FolderText(const std::string& folder, int error) {
  if (error == EACCES || error == EPERM || error == EROFS) {
    return "the folder " + folder + " is not writable: " + SystemErrorText(error);
  }
  return SystemErrorText(error);
}

}  // namespace

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

namespace {

enum class Existing { kReplace, kKeep };

// Puts the finished temporary file in place; 0 or the errno value.
int PutInPlace(const char* temp, const std::string& target, Existing existing) {
  if (existing == Existing::kReplace) return ::rename(temp, target.c_str()) == 0 ? 0 : errno;
  if (::renameat2(AT_FDCWD, temp, AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without the no-replace rename: a hard link fails just as
  // atomically when the name is taken.
  if (::link(temp, target.c_str()) != 0) return errno;
  ::unlink(temp);
  return 0;
}

Result<> WriteFile(const std::string& path, std::string_view content, Existing policy) {
  if (path.empty() || path.back() == '/') return Fail(FailureKind::kFile, "no file name given");
  if (policy == Existing::kKeep) {
    // A new file is made at the name itself: whatever stands there, a link
    // (dangling or not) included, takes the name.
    struct stat taken {};
    if (::lstat(path.c_str(), &taken) == 0) return Fail(FailureKind::kFile, kFileExistsText);
  }
  int linkError = 0;
  const std::string target = policy == Existing::kKeep ? path : FinalTarget(path, &linkError);
  if (linkError != 0) return Fail(FailureKind::kFile, SystemErrorText(linkError));

  struct stat existing {};
  const bool replacing = ::stat(target.c_str(), &existing) == 0;
  if (replacing && policy == Existing::kKeep) return Fail(FailureKind::kFile, kFileExistsText);
  if (replacing) {
    if (const std::optional<std::string> refusal = RefusalOf(target, existing))
      return Fail(FailureKind::kFile, *refusal);
  }

  // A short name, so that any name the file system takes can be saved.
  const std::string folder = FolderOf(target);
  const std::string templ = PathInFolder(folder, ".kestrum-XXXXXX");
  std::vector<char> tempPath(templ.begin(), templ.end());
  tempPath.push_back('\0');
  const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
  if (fd < 0) return Fail(FailureKind::kFile, FolderText(folder, errno));

  int error = WriteAll(fd, content);
  // Only root may give the file back to its owner; others become its owner.
  if (error == 0 && replacing && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()))
    (void)::fchown(fd, existing.st_uid, existing.st_gid);
  const mode_t mode = replacing ? existing.st_mode & 07777 : NewFileMode();
  if (error == 0 && ::fchmod(fd, mode) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0) error = PutInPlace(tempPath.data(), target, policy);
  if (error != 0) {
    ::unlink(tempPath.data());
    if (error == EEXIST && policy == Existing::kKeep)
      return Fail(FailureKind::kFile, kFileExistsText);
    return Fail(FailureKind::kFile, SystemErrorText(error));
  }
  return {};
}

}  // namespace

Result<> WriteFileReplacing(const std::string& path, std::string_view content) {
  return WriteFile(path, content, Existing::kReplace);
}

Result<> WriteNewFile(const std::string& path, std::string_view content) {
  return WriteFile(path, content, Existing::kKeep);
}

}  // namespace kestrum
