// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// K5 and K6: two-byte commands, nibble-coded payloads and replies.
//   F3 3F            identify: the model code, nibble-coded
//   04 0D            memory: K5 16,383, K6 65,535 wire bytes, nibble-coded
//   03 00            parameter block: nine bytes, nibble-coded (18 wire bytes)
//   05 07 a a a a d d  write memory byte (address and data as nibbles)
//   04 03 r r v v    write clock register r with value v (nibbles)
//   04 05            erase; 'e' nibble-coded when done

#include "emulator/instrument_dialect.h"

namespace kestrum {

class NibbleDialect : public InstrumentDialect {
 public:
  DialectReply Feed(std::uint8_t byte, InstrumentState& state) override;
  void Reset() override;

 private:
  enum class Expect { kCommand, kAfterF3, kAfter04, kAfter03, kAfter05, kMemoryWrite, kClock };
  DialectReply Start(std::uint8_t byte);
  DialectReply Complete(InstrumentState& state);

  Expect expect_ = Expect::kCommand;
  std::vector<std::uint8_t> payload_;
};

// Wire bytes of the memory dump: exactly what the PC reads, which is one
// nibble short of the whole memory.
int NibbleDumpLength(InstrumentModel model);

}  // namespace kestrum
