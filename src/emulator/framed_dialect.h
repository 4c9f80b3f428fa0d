// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// K8: frames of 0xA3, a command letter, an optional payload and 0x0A.
//   A3 'M' 0A                 memory: 131,072 plain bytes
//   A3 'P' 0A                 pressure coefficients: eight bytes
//   A3 'S' 'T' s m h D w M Y 0A  set the clock (BCD)
//   A3 'R' 0A                 erase; 'e' 0A when done
// Anything else, the K5-K7 identify F3 3F included, goes unanswered; a frame
// whose end byte is not 0x0A is dropped.

#include "emulator/instrument_dialect.h"

namespace kestrum {

class FramedDialect : public InstrumentDialect {
 public:
  DialectReply Feed(std::uint8_t byte, InstrumentState& state) override;
  void Reset() override;

 private:
  enum class Expect { kStart, kLetter, kT, kClockPayload, kEnd };
  DialectReply Execute(InstrumentState& state);

  Expect expect_ = Expect::kStart;
  std::uint8_t letter_ = 0;
  std::vector<std::uint8_t> payload_;
};

inline constexpr int kFramedDumpLength = 131072;

}  // namespace kestrum
