// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A planned misbehaviour for the next reply an instrument gives (kPass: none,
// so that a later reply can be the one that goes wrong).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrum {

// The replies an instrument gives, so that a fault can be aimed at one of
// them; kAny: whichever comes next.
enum class ReplyKind {
  kAny,
  kIdentify,
  kMemory,
  kParameters,
  kCoefficients,
  kEraseAcknowledgement
};

struct ReplyFault {
  enum class Kind { kPass, kShort, kNothing, kWrong };
  Kind kind = Kind::kNothing;
  ReplyKind target = ReplyKind::kAny;  // replies of other kinds pass untouched
  std::size_t keep = 0;                // kShort: bytes of the reply that are sent
  std::vector<std::uint8_t> bytes;     // kWrong: sent instead of the reply
};

}  // namespace kestrum
