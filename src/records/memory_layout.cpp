// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/memory_layout.h"

#include "records/big_endian.h"

namespace kestrum {

std::uint32_t AddressAt(const std::uint8_t* image, InstrumentModel model, std::size_t offset) {
  return LayoutOf(model).addressBytes == 2 ? BigEndian16(image, offset)
                                           : BigEndian24(image, offset);
}

void PutAddressAt(std::uint8_t* image, InstrumentModel model, std::size_t offset,
                  std::uint32_t address) {
  if (LayoutOf(model).addressBytes == 2) {
    PutBigEndian16(image, offset, address);
  } else {
    PutBigEndian24(image, offset, address);
  }
}

std::uint32_t WritePointerOf(const std::uint8_t* image, InstrumentModel model) {
  return AddressAt(image, model, static_cast<std::size_t>(LayoutOf(model).writePointerByte));
}

void SetWritePointer(std::uint8_t* image, InstrumentModel model, std::uint32_t address) {
  PutAddressAt(image, model, static_cast<std::size_t>(LayoutOf(model).writePointerByte), address);
}

}  // namespace kestrum
