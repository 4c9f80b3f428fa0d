// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program-wide measurement data: the instrument memory image, the decoder
// inputs taken from its header, and the decoded samples and runs. The program
// has one instance (ProgramStore()); tests make their own.

#include <array>
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

struct SampleRecord {
  Extended Concentration = 0;  // Bq/m3
  Extended Pulses = 0;         // pulse count of the hour as stored
  DateTime Time = 0;           // end of the sample hour
  Extended Error = 0;          // counting error in Bq/m3, a whole number
  Extended TemperatureValue = 0;
  Extended HumidityValue = 0;
  Extended PressureValue = 0;  // kPa
};

struct RunEntry {
  std::int32_t FirstSample = 0;
  std::int32_t LastSample = 0;  // inclusive
  DateTime StartTime = 0;
};

struct MeasurementStore {
  std::array<std::uint8_t, kMemoryImageBytes> MemoryImage{};

  // Decoder inputs, set from the image header before every decode.
  std::int32_t DirectorySlot = 0;
  std::int32_t FinalAddress = 0;
  Extended CalibrationFactor = 6.0L;
  Extended PressureCoefficientA0 = 0;
  Extended PressureCoefficientB1 = 0;
  Extended PressureCoefficientB2 = 0;
  Extended PressureCoefficientC12 = 0;

  std::array<SampleRecord, kSampleCapacity> Samples{};
  std::array<SampleRecord, kSampleCapacity> SampleScratch{};
  std::int32_t LastSampleIndex = -1;

  std::array<RunEntry, kRunCapacity> Runs{};
  std::array<RunEntry, kRunCapacity> RunSortArea{};
  std::int32_t RunCount = 0;

  // Diagnostic text of the K6-K8 decodes; grows over the whole program run.
  std::string diagnosticText = "Memo1";
};

// The program's single instance, alive for the whole run.
MeasurementStore& ProgramStore();

}  // namespace kestrum
