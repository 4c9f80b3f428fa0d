// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which environmental sensors a model has. Lines for channels a model lacks
// are not drawn: their sample fields hold nothing measured.

#include "records/instrument_model.h"

namespace kestrum {

struct ModelChannels {
  bool temperature = false;
  bool humidity = false;
  bool pressure = false;
};

ModelChannels ChannelsOf(InstrumentModel model);

}  // namespace kestrum
