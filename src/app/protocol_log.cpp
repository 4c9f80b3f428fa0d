// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/protocol_log.h"

#include <unistd.h>

#include <QFile>
#include <cstdlib>
#include <memory>
#include <string>

#include "link/port_trace.h"
#include "records/guarded_read.h"

kestrum::Result<> StartProtocolLogFromEnvironment() {
  // The variable's bytes: a name that is not UTF-8 must not become another file.
  const char* named = std::getenv(kProtocolLogVariable);
  const std::string path = named ? named : "";
  if (path.empty()) return {};
  // Appended to line by line; the guard keeps a FIFO or a device from
  // hanging or swallowing it.
  const kestrum::Result<int> fd = kestrum::OpenRegularFileToAppend(path);
  if (!fd) return fd.failure();
  auto file = std::make_shared<QFile>();
  if (!file->open(fd.value(), QIODevice::WriteOnly | QIODevice::Append,
                  QFileDevice::AutoCloseHandle)) {
    ::close(fd.value());
    return kestrum::Fail(path + ": " + file->errorString().toStdString());
  }
  kestrum::SetPortTraceSink([file](const std::string& line) {
    file->write(line.data(), static_cast<qint64>(line.size()));
    file->write("\n");
    file->flush();  // a crash or a pulled plug must not lose the last lines
  });
  return {};
}
