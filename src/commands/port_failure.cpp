// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/port_failure.h"

namespace kestrum {
namespace {

std::string StatusWords(FtStatus status) {
  switch (status) {
    case FT_INVALID_HANDLE:
      return "invalid handle";
    case FT_DEVICE_NOT_FOUND:
      return "device not found";
    case FT_DEVICE_NOT_OPENED:
      return "device not opened";
    case FT_IO_ERROR:
      return "input/output error";
    case FT_INSUFFICIENT_RESOURCES:
      return "insufficient resources";
    case FT_INVALID_PARAMETER:
      return "invalid parameter";
    case FT_INVALID_BAUD_RATE:
      return "invalid baud rate";
    case FT_OTHER_ERROR:
      return "other error";
    case FT_BYTES_LOST:
      return "bytes lost on the line";
    default:
      return "status " + std::to_string(status);
  }
}

}  // namespace

Result<> PortResult(FtStatus status, const std::string& what) {
  if (status == FT_OK) return {};
  return Fail(FailureKind::kNotOpened, what + ": " + StatusWords(status));
}

}  // namespace kestrum
