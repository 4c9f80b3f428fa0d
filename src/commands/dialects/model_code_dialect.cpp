// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"

namespace kestrum {

const WireDialect* DialectOfModelCode(std::uint8_t modelCode) {
  switch (modelCode) {
    case kModelCodeK5:
      return &kK5Dialect;
    case kModelCodeK6:
      return &kK6Dialect;
    case kModelCodeK7:
      return &kK7Dialect;
    default:
      return nullptr;
  }
}

}  // namespace kestrum
