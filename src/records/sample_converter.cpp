// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/sample_converter.h"

#include <cmath>

#include "records/big_endian.h"
#include "records/extended_math.h"

namespace kestrum {

SampleConverter::SampleConverter(SensorLayout sensors, Extended calibrationFactor,
                                 const PressureCoefficients& coefficients)
    : sensors_(sensors),
      factor_(calibrationFactor),
      coefficients_(coefficients),
      fullScale_(sensors == SensorLayout::K8 ? kK8HumidityFullScale : kK7HumidityFullScale) {}

Extended SampleConverter::ErrorOf(std::uint32_t pulses, Extended concentration) {
  if (pulses == 0) return 0;
  // Concentration x sqrt(1 / p), truncated: the order of operations matters.
  if (pulses >= kErrorMemo) return TruncTowardZero(concentration * std::sqrt(1.0L / pulses));
  if (!errorKnown_[pulses]) {
    error_[pulses] = TruncTowardZero(concentration * std::sqrt(1.0L / pulses));
    errorKnown_[pulses] = true;
  }
  return error_[pulses];
}

void SampleConverter::ConvertK7K8(const RawReadings& raw, SampleRecord& record) {
  const std::uint32_t tadc = raw.temperature & (kTadcValues - 1);  // 10 bits on both models
  if (!temperatureKnown_[tadc]) {
    temperature_[tadc] = K7K8Temperature(tadc);
    divisor_[tadc] = K7K8HumidityDivisor(temperature_[tadc]);
    temperatureKnown_[tadc] = true;
  }
  Extended sensorHumidity;
  const std::uint32_t hadc = raw.humidity;
  if (hadc < kHumidityMemo) {
    if (!humidityKnown_[hadc]) {
      humidity_[hadc] = K7K8SensorHumidity(hadc, fullScale_);
      humidityKnown_[hadc] = true;
    }
    sensorHumidity = humidity_[hadc];
  } else {
    sensorHumidity = K7K8SensorHumidity(hadc, fullScale_);
  }
  record.TemperatureValue = temperature_[tadc];
  record.HumidityValue = sensorHumidity / divisor_[tadc];
  record.PressureValue = K7K8Pressure(tadc, raw.pressure, coefficients_);
}

void SampleConverter::Convert(const std::uint8_t* image, std::int32_t a, std::int32_t n,
                              DateTime startTime, SampleRecord& record) {
  const std::uint32_t pulses = BigEndian16(image, static_cast<std::size_t>(a - 1));
  record.Concentration = static_cast<Extended>(pulses) * factor_;
  record.Pulses = pulses;
  record.Time = static_cast<DateTime>(static_cast<Extended>(startTime) +
                                      static_cast<Extended>(n + 1) / 24.0L);
  record.Error = ErrorOf(pulses, record.Concentration);

  switch (sensors_) {
    case SensorLayout::None:
      return;  // K5 keeps the environmental fields as they were
    case SensorLayout::K6: {
      const RawReadings raw = ReadK6Readings(image, a);
      const EnvironmentValues env = ConvertK6(raw.temperature, raw.humidity);
      record.TemperatureValue = env.temperature;
      record.HumidityValue = env.humidity;
      return;  // K6 has no pressure
    }
    case SensorLayout::K7:
      ConvertK7K8(ReadK7Readings(image, a), record);
      return;
    case SensorLayout::K8:
      ConvertK7K8(ReadK8Readings(image, a), record);
      return;
  }
}

}  // namespace kestrum
