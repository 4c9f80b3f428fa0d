// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// K7: one-letter commands ('M', 'C', 'W', 'E', '0', 'P') and plain bytes.

#include "commands/dialects/wire_dialect.h"

namespace kestrum {

const WireDialect& K7Dialect();

}  // namespace kestrum
