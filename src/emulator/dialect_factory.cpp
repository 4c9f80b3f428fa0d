// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/framed_dialect.h"
#include "emulator/instrument_dialect.h"
#include "emulator/letter_dialect.h"
#include "emulator/nibble_dialect.h"

namespace kestrum {

std::unique_ptr<InstrumentDialect> MakeDialectFor(InstrumentModel model) {
  switch (model) {
    case InstrumentModel::K5:
    case InstrumentModel::K6:
      return std::make_unique<NibbleDialect>();
    case InstrumentModel::K7:
      return std::make_unique<LetterDialect>();
    case InstrumentModel::K8:
      break;
  }
  return std::make_unique<FramedDialect>();
}

}  // namespace kestrum
