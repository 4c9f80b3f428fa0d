// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Temperature, humidity and pressure of K6, K7 and K8 samples: where the raw
// readings lie in a sample and how they become degrees Celsius, percent
// relative humidity and kilopascal. Nothing is clamped: out-of-range readings
// go through the same formulas.

#include <cstdint>

#include "records/decoder_inputs.h"
#include "records/measurement_store.h"

namespace kestrum {

struct EnvironmentValues {
  Extended temperature = 0;
  Extended humidity = 0;
  Extended pressure = 0;  // not produced by K6
};

// Raw readings of one sample.
struct RawReadings {
  std::uint32_t temperature = 0;  // SOT (K6) or Tadc (K7, K8)
  std::uint32_t humidity = 0;     // SORH (K6) or Hadc (K7, K8)
  std::uint32_t pressure = 0;     // Padc (K7, K8)
};

// image points at the memory image; a is the address of the sample's last byte.
RawReadings ReadK6Readings(const std::uint8_t* image, std::int32_t a);
RawReadings ReadK7Readings(const std::uint8_t* image, std::int32_t a);
RawReadings ReadK8Readings(const std::uint8_t* image, std::int32_t a);

inline constexpr Extended kK7HumidityFullScale = 1024;
inline constexpr Extended kK8HumidityFullScale = 4096;

// Sensirion SHT1x/SHT7x conversion (14-bit temperature, 12-bit humidity).
EnvironmentValues ConvertK6(std::uint32_t sot, std::uint32_t sorh);

// Temperature of a K7/K8 Tadc, truncated toward zero to one decimal.
Extended K7K8Temperature(std::uint32_t tadc);
// HIH-5030 output as a whole-number humidity (truncated toward zero).
Extended K7K8SensorHumidity(std::uint32_t hadc, Extended humidityFullScale);
// Relative humidity = sensor humidity / this, with the truncated temperature.
Extended K7K8HumidityDivisor(Extended temperature);
// MPL115A compensation with the raw Tadc, scaled to kilopascal.
Extended K7K8Pressure(std::uint32_t tadc, std::uint32_t padc,
                      const PressureCoefficients& coefficients);
// All three: temperature, compensated humidity, pressure.
EnvironmentValues ConvertK7K8(const RawReadings& raw, Extended humidityFullScale,
                              const PressureCoefficients& coefficients);

}  // namespace kestrum
