#include "app/protocol_log.h"

#include <QFile>
#include <memory>

#include "link/port_trace.h"

kestrum::Result<> StartProtocolLogFromEnvironment() {
  const QString path = qEnvironmentVariable(kProtocolLogVariable);
  if (path.isEmpty()) return {};
  auto file = std::make_shared<QFile>(path);
  if (!file->open(QIODevice::Append | QIODevice::Text)) {
    return kestrum::Fail((path + ": " + file->errorString()).toStdString());
  }
  kestrum::SetPortTraceSink([file](const std::string& line) {
    file->write(line.data(), static_cast<qint64>(line.size()));
    file->write("\n");
    file->flush();  // a crash or a pulled plug must not lose the last lines
  });
  return {};
}
