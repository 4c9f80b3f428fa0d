// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// K8: three-byte frames A3 <command> 0A at 230,400 baud; the K8 is told apart
// by its converter's description, not by an identify exchange.

#include "commands/dialects/wire_dialect.h"

namespace kestrum {

const WireDialect& K8Dialect();

}  // namespace kestrum
