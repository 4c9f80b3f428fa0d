// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds memory images byte by byte for the decoder tests: an erased
// directory, hand-placed slots, header values and sample bytes.

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "records/decoder_inputs.h"
#include "records/image_decoder.h"
#include "records/instrument_model.h"
#include "records/measurement_store.h"
#include "records/model_parameters.h"

namespace kestrum::testing {

inline std::uint8_t Bcd(int value) {
  return static_cast<std::uint8_t>(value / 10 * 16 + value % 10);
}

struct SlotStamp {
  std::uint8_t minute, hour, day, month, year;  // raw bytes as stored (BCD)
};

// 2024-03-05 14:30 and friends, as BCD bytes.
inline SlotStamp Stamp(int year, int month, int day, int hour, int minute) {
  return {Bcd(minute), Bcd(hour), Bcd(day), Bcd(month), Bcd(year - 2000)};
}

class ImageBuilder {
 public:
  explicit ImageBuilder(InstrumentModel model) : model_(model), p_(ParametersOf(model)) {
    image_.fill(0);
    image_[0] = ModelMarkerOf(model);
    for (int i = DirectoryEntryOffset(1); i < DirectoryEntryOffset(kDirectorySlots + 1); ++i) {
      image_[i] = 0xFF;  // erased directory
    }
    Calibration(6, 0);
    DirectorySlot(0);
  }

  ImageBuilder& Calibration(std::uint8_t whole, std::uint8_t hundredths) {
    image_[7] = whole;
    image_[8] = hundredths;
    return *this;
  }
  ImageBuilder& DirectorySlot(int slot) {
    image_[6] = static_cast<std::uint8_t>(slot * 8);
    return *this;
  }
  // Header bytes 2-3 (K5, K6) or 1-3 (K7, K8): the write pointer and FinalAddress.
  ImageBuilder& WritePointer(std::uint32_t address) {
    if (p_.addressBytes == 2) {
      image_[2] = static_cast<std::uint8_t>(address >> 8);
      image_[3] = static_cast<std::uint8_t>(address);
    } else {
      image_[1] = static_cast<std::uint8_t>(address >> 16);
      image_[2] = static_cast<std::uint8_t>(address >> 8);
      image_[3] = static_cast<std::uint8_t>(address);
    }
    return *this;
  }
  // K5, K6: header bytes 15-16, the end of slot 27.
  ImageBuilder& Slot27End(std::uint32_t address) {
    image_[15] = static_cast<std::uint8_t>(address >> 8);
    image_[16] = static_cast<std::uint8_t>(address);
    return *this;
  }
  ImageBuilder& Slot(int r, std::uint32_t start, SlotStamp t) {
    SlotStart(r, start);
    std::uint8_t* e = &image_[DirectoryEntryOffset(r) + p_.addressBytes];
    e[0] = t.minute;
    e[1] = t.hour;
    e[2] = t.day;
    e[3] = t.month;
    e[4] = t.year;
    return *this;
  }
  // Only the start address; the time bytes stay as they are (erased).
  ImageBuilder& SlotStart(int r, std::uint32_t start) {
    const int offset = DirectoryEntryOffset(r);
    for (int i = p_.addressBytes - 1; i >= 0; --i) {
      image_[offset + i] = static_cast<std::uint8_t>(start & 0xFF);
      start >>= 8;
    }
    return *this;
  }
  // Pulse count of the sample whose last byte is at address a.
  ImageBuilder& Pulses(std::uint32_t a, std::uint16_t pulses) {
    image_[a - 1] = static_cast<std::uint8_t>(pulses >> 8);
    image_[a] = static_cast<std::uint8_t>(pulses);
    return *this;
  }
  ImageBuilder& Byte(std::uint32_t address, std::uint8_t value) {
    image_[address] = value;
    return *this;
  }

  // Puts the image into the store and sets the decoder inputs as Open does.
  void LoadInto(MeasurementStore& store) const {
    store.MemoryImage = image_;
    SetDecoderInputsFromImage(store);
  }

  const std::array<std::uint8_t, kMemoryImageBytes>& image() const { return image_; }

 private:
  InstrumentModel model_;
  const ModelParameters& p_;
  std::array<std::uint8_t, kMemoryImageBytes> image_{};
};

// The store is about 22 MB: never on the stack.
inline std::unique_ptr<MeasurementStore> NewStore() {
  return std::make_unique<MeasurementStore>();
}

inline DecodeContext NoFiles(DateTime now = 60000) {
  DecodeContext context;
  context.now = now;
  context.writeFiles = false;
  return context;
}

// A fresh folder under the test's working directory, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    char name[] = "records-test-XXXXXX";
    path_ = ::mkdtemp(name) ? name : "";
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool FileExists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

}  // namespace kestrum::testing
