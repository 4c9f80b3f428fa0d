// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/sensor_channels.h"

#include <cmath>

#include "records/big_endian.h"
#include "records/extended_math.h"

namespace kestrum {
namespace {

std::uint32_t Word(const std::uint8_t* image, std::int32_t high) {
  return BigEndian16(image, static_cast<std::size_t>(high));
}

// 65 / 1023, held as this extended constant.
constexpr Extended kPressureScale = 0.0635386119257087L;

}  // namespace

RawReadings ReadK6Readings(const std::uint8_t* image, std::int32_t a) {
  RawReadings raw;
  raw.humidity = Word(image, a - 5);
  raw.temperature = Word(image, a - 3);
  return raw;
}

RawReadings ReadK7Readings(const std::uint8_t* image, std::int32_t a) {
  const std::uint32_t lowBits = image[a - 2];
  RawReadings raw;
  raw.humidity = image[a - 5] * 4u + ((lowBits >> 4) & 3u);
  raw.temperature = image[a - 4] * 4u + ((lowBits >> 2) & 3u);
  raw.pressure = image[a - 3] * 4u + ((lowBits >> 6) & 3u);
  return raw;
}

RawReadings ReadK8Readings(const std::uint8_t* image, std::int32_t a) {
  RawReadings raw;
  raw.pressure = Word(image, a - 7) >> 6;
  raw.temperature = Word(image, a - 5) >> 6;
  raw.humidity = Word(image, a - 3);
  return raw;
}

EnvironmentValues ConvertK6(std::uint32_t sot, std::uint32_t sorh) {
  const Extended s = sorh;
  EnvironmentValues v;
  v.temperature = static_cast<Extended>(sot) * 0.01L - 40;
  v.humidity =
      (s * 0.00008L + 0.01L) * (v.temperature - 25) + (-4 + 0.0405L * s - 0.0000028L * (s * s));
  return v;
}

Extended K7K8Temperature(std::uint32_t tadc) {
  return TruncTowardZero(((static_cast<Extended>(tadc) - 605.75L) / -5.35L + 7) * 10) / 10;
}

Extended K7K8SensorHumidity(std::uint32_t hadc, Extended humidityFullScale) {
  return TruncTowardZero((static_cast<Extended>(hadc) / humidityFullScale - 0.1515L) / 0.00636L);
}

Extended K7K8HumidityDivisor(Extended temperature) {
  return 1.0546L - 0.00216L * temperature;
}

Extended K7K8Pressure(std::uint32_t tadc, std::uint32_t padc, const PressureCoefficients& c) {
  const Extended t = tadc;
  const Extended p = padc;
  const Extended pcomp = c.A0 + (c.B1 + c.C12 * t) * p + c.B2 * t;
  return pcomp * kPressureScale + 50;
}

EnvironmentValues ConvertK7K8(const RawReadings& raw, Extended humidityFullScale,
                              const PressureCoefficients& c) {
  EnvironmentValues v;
  v.temperature = K7K8Temperature(raw.temperature);
  v.humidity =
      K7K8SensorHumidity(raw.humidity, humidityFullScale) / K7K8HumidityDivisor(v.temperature);
  v.pressure = K7K8Pressure(raw.temperature, raw.pressure, c);
  return v;
}

}  // namespace kestrum
