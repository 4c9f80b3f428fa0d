// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/protocol_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "link/port_trace.h"

kestrum::Result<> StartProtocolLogFromEnvironment() {
  // The variable's bytes: a name that is not UTF-8 must not become another file.
  const char* named = std::getenv(kProtocolLogVariable);
  const std::string path = named ? named : "";
  if (path.empty()) return {};
  // The log is appended to, line by line, so it cannot be written whole by
  // the replacing write; like every read, it waits for nothing and takes
  // only a regular file (a FIFO or a device would hang or swallow it).
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0) return kestrum::Fail(path + ": " + std::strerror(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return kestrum::Fail(path + " is not a regular file");
  }
  auto file = std::make_shared<QFile>();
  if (!file->open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return kestrum::Fail(path + ": " + file->errorString().toStdString());
  }
  kestrum::SetPortTraceSink([file](const std::string& line) {
    file->write(line.data(), static_cast<qint64>(line.size()));
    file->write("\n");
    file->flush();  // a crash or a pulled plug must not lose the last lines
  });
  return {};
}
