#include "views/model_channels.h"

namespace kestrum {

ModelChannels ChannelsOf(InstrumentModel model) {
  switch (model) {
    case InstrumentModel::K5:
      return {false, false, false};
    case InstrumentModel::K6:
      return {true, true, false};
    case InstrumentModel::K7:
    case InstrumentModel::K8:
      return {true, true, true};
  }
  return {};
}

}  // namespace kestrum
