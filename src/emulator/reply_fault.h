#pragma once
// A planned misbehaviour for the next reply an instrument gives.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrum {

struct ReplyFault {
  enum class Kind { kShort, kNothing, kWrong };
  Kind kind = Kind::kNothing;
  std::size_t keep = 0;             // kShort: bytes of the reply that are sent
  std::vector<std::uint8_t> bytes;  // kWrong: sent instead of the reply
};

}  // namespace kestrum
