// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// K5 and K6: every data byte travels as two wire bytes (nibble coding), and
// commands are two-byte codes.

#include "commands/dialects/wire_dialect.h"

namespace kestrum {

const WireDialect& K5Dialect();
const WireDialect& K6Dialect();

}  // namespace kestrum
