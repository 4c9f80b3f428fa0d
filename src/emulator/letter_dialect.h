// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// K7: one-letter commands with plain bytes; identify as in the nibble dialect.
//   F3 3F        identify: the model code, nibble-coded
//   'M'          memory: 131,071 plain bytes (memory bytes 0 to 131,070)
//   '0'          parameter block: nine bytes
//   'P'          pressure coefficients: eight bytes
//   'W' ah al d  write memory byte
//   'C' r v      write clock register
//   'E'          erase; 'e' when done

#include "emulator/instrument_dialect.h"
#include "records/memory_layout.h"

namespace kestrum {

class LetterDialect : public InstrumentDialect {
 public:
  DialectReply Feed(std::uint8_t byte, InstrumentState& state) override;
  void Reset() override;

 private:
  enum class Expect { kCommand, kAfterF3, kMemoryWrite, kClock };
  DialectReply Start(std::uint8_t byte, InstrumentState& state);

  Expect expect_ = Expect::kCommand;
  std::vector<std::uint8_t> payload_;
};

// The K7 sends its memory from byte 1 on.
inline constexpr int kLetterDumpLength = ImageLengthOf(InstrumentModel::K7) - 1;

}  // namespace kestrum
