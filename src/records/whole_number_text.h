// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoded values are written as whole numbers, rounded half to even.

#include <string>

#include "records/measurement_store.h"

namespace kestrum {

// Nearest whole number, ties to even; never a negative zero.
Extended RoundHalfEven(Extended value);

// The rounded value as a plain integer with a leading minus sign when negative.
void AppendRoundedInteger(std::string& out, Extended value);
std::string RoundedIntegerText(Extended value);

// "1 byte", "0 bytes", "8192 bytes".
std::string ByteCountText(std::size_t count);

}  // namespace kestrum
