// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The K5-K7 parameter block as the download received it. Nothing in the
// program reads it back; the download keeps a copy in "K5C.tmp".

#include <array>
#include <cstdint>

#include "records/model_capabilities.h"

namespace kestrum {

// Zero at start; a K5-K7 download writes bytes 0 to 9.
extern std::array<std::uint8_t, kParameterBlockBytes> ParameterBlock;

}  // namespace kestrum
