// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/parameter_block.h"

namespace kestrum {

std::array<std::uint8_t, kParameterBlockBytes> ParameterBlock{};

}  // namespace kestrum
