#include "records/checked_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kestrum {
namespace {

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

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t NewFileMode(const std::string& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string WriteFileChecked(const std::string& path, std::string_view content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return SystemErrorText(errno);
  int error = WriteAll(fd, content);
  if (::close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? std::string() : SystemErrorText(error);
}

std::string WriteFileReplacing(const std::string& path, std::string_view content) {
  if (path.empty() || path.back() == '/') return SystemErrorText(EISDIR);
  const std::string templ = PathInFolder(FolderOf(path), "." + NameOf(path) + ".XXXXXX");
  std::vector<char> tempPath(templ.begin(), templ.end());
  tempPath.push_back('\0');
  const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
  if (fd < 0) return SystemErrorText(errno);

  int error = WriteAll(fd, content);
  if (error == 0 && ::fchmod(fd, NewFileMode(path)) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempPath.data(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempPath.data());
    return SystemErrorText(error);
  }
  return {};
}

}  // namespace kestrum
