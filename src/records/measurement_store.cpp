// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/measurement_store.h"

namespace kestrum {

MeasurementStore& ProgramStore() {
  // About 22 MB; kept off the stack and allocated once.
  static auto* store = new MeasurementStore();
  return *store;
}

}  // namespace kestrum
