// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/model_channels.h"

#include "records/model_facts.h"

namespace kestrum {

ModelChannels ChannelsOf(InstrumentModel model) {
  const bool environment = HasTemperatureAndHumidity(model);
  return {environment, environment, HasPressure(model)};
}

}  // namespace kestrum
