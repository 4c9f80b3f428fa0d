// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program-wide measurement data: the instrument memory image, the decoder
// inputs taken from its header, and the decoded samples and runs. The program
// has one instance (ProgramStore()); tests make their own.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrum {

// Decoded values and sums are 80-bit extended reals on this platform.
using Extended = long double;
// Days since 30 December 1899 00:00; the fraction is the time of day.
using DateTime = double;

inline constexpr int kMemoryImageBytes = 131072;
inline constexpr int kSampleCapacity = 100001;
inline constexpr int kRunCapacity = 51;

// Plain records, so that a store's large arrays need no construction: a
// new store takes them zeroed from the allocator. Make one with {} to zero it.
struct SampleRecord {
  Extended Concentration;  // Bq/m3
  Extended Pulses;         // pulse count of the hour as stored
  DateTime Time;           // end of the sample hour
  Extended Error;          // counting error in Bq/m3, a whole number
  Extended TemperatureValue;
  Extended HumidityValue;
  Extended PressureValue;  // kPa
};

struct RunEntry {
  std::int32_t FirstSample;
  std::int32_t LastSample;  // inclusive
  DateTime StartTime;
};

struct MeasurementStore {
  // A store is about 22 MB, most of it samples that a decode never reaches:
  // it is allocated zeroed (calloc), so pages nobody touches cost nothing,
  // and the constructor leaves the arrays as they came.
  MeasurementStore();
  static void* operator new(std::size_t size);
  static void operator delete(void* memory) noexcept;

  std::array<std::uint8_t, kMemoryImageBytes> MemoryImage{};

  // Decoder inputs, set from the image header before every decode.
  std::int32_t DirectorySlot = 0;
  std::int32_t FinalAddress = 0;
  Extended CalibrationFactor = 6.0L;
  Extended PressureCoefficientA0 = 0;
  Extended PressureCoefficientB1 = 0;
  Extended PressureCoefficientB2 = 0;
  Extended PressureCoefficientC12 = 0;

  std::array<SampleRecord, kSampleCapacity> Samples;
  std::array<SampleRecord, kSampleCapacity> SampleScratch;
  std::int32_t LastSampleIndex = -1;

  std::array<RunEntry, kRunCapacity> Runs;
  std::array<RunEntry, kRunCapacity> RunSortArea;
  std::int32_t RunCount = 0;

  // Diagnostic text of the K6-K8 decodes; grows over the whole program run.
  std::string diagnosticText = "Memo1";
};

// The program's single instance, alive for the whole run.
MeasurementStore& ProgramStore();

}  // namespace kestrum
