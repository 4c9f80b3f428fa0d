// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/measurement_store.h"

#include <cstdlib>
#include <new>

namespace kestrum {

// User-provided, so that `new MeasurementStore()` does not zero the whole
// object again after the allocator did.
MeasurementStore::MeasurementStore() {}

void* MeasurementStore::operator new(std::size_t size) {
  void* memory = std::calloc(1, size);
  if (!memory) throw std::bad_alloc();
  return memory;
}

void MeasurementStore::operator delete(void* memory) noexcept {
  std::free(memory);
}

MeasurementStore& ProgramStore() {
  // About 22 MB; kept off the stack and allocated once.
  static auto* store = new MeasurementStore();
  return *store;
}

}  // namespace kestrum
