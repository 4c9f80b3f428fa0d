#pragma once
// A planned misbehaviour for the next reply an instrument gives (kPass: none,
// so that a later reply can be the one that goes wrong).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrum {

struct ReplyFault {
  enum class Kind { kPass, kShort, kNothing, kWrong };
  Kind kind = Kind::kNothing;
  std::size_t keep = 0;             // kShort: bytes of the reply that are sent
  std::vector<std::uint8_t> bytes;  // kWrong: sent instead of the reply
};

}  // namespace kestrum
