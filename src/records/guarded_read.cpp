// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/guarded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestrum {

Result<GuardedRead> ReadRegularFile(const std::string& path, std::size_t limit) {
  GuardedRead read;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) {
      read.missing = true;
      return read;
    }
    return Fail(FailureKind::kFile, path + ": " + std::strerror(errno));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Fail(FailureKind::kFile, path + " is not a regular file");
  }
  // One byte more than the limit tells a longer file from one that fits.
  read.bytes.resize(limit + 1);
  std::size_t filled = 0;
  int error = 0;
  while (filled < read.bytes.size()) {
    const ssize_t got = ::read(fd, read.bytes.data() + filled, read.bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (error != 0) return Fail(FailureKind::kFile, path + ": " + std::strerror(error));
  read.truncated = filled > limit;
  read.bytes.resize(read.truncated ? limit : filled);
  return read;
}

Result<int> OpenRegularFileToAppend(const std::string& path) {
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0) return Fail(FailureKind::kFile, path + ": " + std::strerror(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Fail(FailureKind::kFile, path + " is not a regular file");
  }
  return fd;
}

}  // namespace kestrum
