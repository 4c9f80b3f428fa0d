// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Converts the raw samples of one decode. Values that depend on a single raw
// reading (the counting error of a pulse count, the K7/K8 temperature and
// sensor humidity) are computed once per reading and reused: the same
// formulas on the same input, so the results are identical, but a full K8
// image decodes several times faster.

#include <bitset>
#include <cstdint>

#include "records/decoder_inputs.h"
#include "records/measurement_store.h"
#include "records/model_parameters.h"
#include "records/sensor_channels.h"

namespace kestrum {

class SampleConverter {
 public:
  SampleConverter(SensorLayout sensors, Extended calibrationFactor,
                  const PressureCoefficients& coefficients);

  // Writes every field the model's sample carries into record.
  void Convert(const std::uint8_t* image, std::int32_t a, std::int32_t n, DateTime startTime,
               SampleRecord& record);

 private:
  // Tadc has 10 bits on both models; the humidity memo covers the 12 bits of a
  // sound K8 reading; the error memo pulse counts up to 1023 an hour. Small
  // enough (about 110 KB) for a cheap allocation per decode.
  static constexpr std::uint32_t kTadcValues = 1024;
  static constexpr std::uint32_t kHumidityMemo = 4096;
  static constexpr std::uint32_t kErrorMemo = 1024;

  Extended ErrorOf(std::uint32_t pulses, Extended concentration);
  void ConvertK7K8(const RawReadings& raw, SampleRecord& record);

  SensorLayout sensors_;
  Extended factor_;
  PressureCoefficients coefficients_;
  Extended fullScale_;

  std::bitset<kErrorMemo> errorKnown_;
  std::bitset<kTadcValues> temperatureKnown_;
  std::bitset<kHumidityMemo> humidityKnown_;
  Extended error_[kErrorMemo];
  Extended temperature_[kTadcValues];
  Extended divisor_[kTadcValues];
  Extended humidity_[kHumidityMemo];
};

}  // namespace kestrum
