// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where things lie in an instrument's memory (which is also a data file): one
// row per model, read by the decoders, the image generator and the emulated
// instruments alike, and the header and directory places all models share.

#include <cstddef>
#include <cstdint>

#include "records/instrument_model.h"

namespace kestrum {

struct MemoryLayout {
  InstrumentModel model;
  // Bytes of memory; a freshly erased memory's write pointer holds this value.
  int imageLength;
  // Directory start addresses and the write pointer: two bytes (K5, K6) or
  // three (K7, K8), most significant first.
  int addressBytes;
  // The address bits the decoder keeps (K6 memory takes 15).
  std::uint32_t addressMask;
  // Header byte where the write pointer starts; it ends at byte 3.
  int writePointerByte;
};

// Indexed by InstrumentModel.
inline constexpr MemoryLayout kMemoryLayouts[] = {
    {InstrumentModel::K5, 8192, 2, 0xFFFF, 2},
    {InstrumentModel::K6, 32768, 2, 0x7FFF, 2},
    {InstrumentModel::K7, 131072, 3, 0xFFFFFF, 1},
    {InstrumentModel::K8, 131072, 3, 0xFFFFFF, 1},
};

inline constexpr const MemoryLayout& LayoutOf(InstrumentModel model) {
  return kMemoryLayouts[static_cast<int>(model)];
}

inline constexpr bool LayoutRowsFollowTheModels() {
  for (int i = 0; i < 4; ++i) {
    if (static_cast<int>(kMemoryLayouts[i].model) != i) return false;
  }
  return true;
}
static_assert(LayoutRowsFollowTheModels(), "kMemoryLayouts is indexed by InstrumentModel");

// Bytes of instrument memory, which is also the length of a data file.
inline constexpr int ImageLengthOf(InstrumentModel model) {
  return LayoutOf(model).imageLength;
}

// Header bytes every model has in the same place.
inline constexpr int kDirectoryPointerByte = 6;      // 8 x the next free directory slot
inline constexpr int kCalibrationByte = 7;           // whole part; the hundredths follow
inline constexpr int kPressureCoefficientsByte = 9;  // K7, K8: four words, to byte 16
inline constexpr int kSlot27EndByte = 15;            // K5, K6: the end of slot 27, two bytes

// The run directory: slot r (1..27) is eight bytes from DirectoryEntryOffset(r),
// the start address and then minute, hour, day, month and year in BCD.
inline constexpr int kDirectorySlots = 27;
inline constexpr int kDirectoryEntryBytes = 8;
inline constexpr int DirectoryEntryOffset(int slot) {
  return 16 + kDirectoryEntryBytes * slot;
}

// An address of the model's width at offset, as stored (not masked).
std::uint32_t AddressAt(const std::uint8_t* image, InstrumentModel model, std::size_t offset);
void PutAddressAt(std::uint8_t* image, InstrumentModel model, std::size_t offset,
                  std::uint32_t address);

// The header's write pointer, the next free sample address, as stored: the
// decoder masks it, the emulated instrument and the download's FinalAddress do not.
std::uint32_t WritePointerOf(const std::uint8_t* image, InstrumentModel model);
void SetWritePointer(std::uint8_t* image, InstrumentModel model, std::uint32_t address);

}  // namespace kestrum
