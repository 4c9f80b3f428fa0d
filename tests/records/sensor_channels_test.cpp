// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "records/sensor_channels.h"

namespace kestrum {
namespace {

TEST(SensorK6, Sht7xConversion) {
  const EnvironmentValues v = ConvertK6(6500, 1000);
  EXPECT_NEAR(static_cast<double>(v.temperature), 25.0, 1e-12);
  // The temperature term vanishes at 25 degrees: -4 + 40.5 - 2.8.
  EXPECT_NEAR(static_cast<double>(v.humidity), 33.7, 1e-9);

  // 35 degrees: (1000 * 0.00008 + 0.01) * 10 = 0.9 more.
  const EnvironmentValues warm = ConvertK6(7500, 1000);
  EXPECT_NEAR(static_cast<double>(warm.temperature), 35.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(warm.humidity), 34.6, 1e-9);

  // Out of range readings are not clamped.
  const EnvironmentValues zero = ConvertK6(0, 0);
  EXPECT_NEAR(static_cast<double>(zero.temperature), -40.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(zero.humidity), 0.01 * -65 - 4, 1e-12);
}

TEST(SensorK7K8, TemperatureIsTruncatedToOneDecimal) {
  // trunc(((600 - 605.75) / -5.35 + 7) * 10) / 10 = trunc(80.747) / 10
  EXPECT_NEAR(static_cast<double>(K7K8Temperature(600)), 8.0, 1e-15);
  // Tadc 700: (-17.617 + 7) * 10 = -106.17, truncated toward zero: -10.6
  EXPECT_NEAR(static_cast<double>(K7K8Temperature(700)), -10.6, 1e-15);
  // Tadc 0: (113.224 + 7) * 10 -> 120.2
  EXPECT_NEAR(static_cast<double>(K7K8Temperature(0)), 120.2, 1e-13);
}

TEST(SensorK7K8, HumidityFromSensorWholeNumber) {
  RawReadings raw;
  raw.temperature = 600;  // 8.0 degrees
  raw.humidity = 512;     // 0.5 of 1024: (0.5 - 0.1515) / 0.00636 = 54.79 -> 54
  const EnvironmentValues v = ConvertK7K8(raw, kK7HumidityFullScale, {});
  EXPECT_NEAR(static_cast<double>(v.humidity), 54.0 / (1.0546 - 0.00216 * 8.0), 1e-12);

  // Below 0.1515 of full scale the sensor humidity is negative, truncated toward zero.
  raw.humidity = 152;  // 0.1484: -0.48 -> 0
  EXPECT_EQ(ConvertK7K8(raw, kK7HumidityFullScale, {}).humidity, 0);
  raw.humidity = 100;  // 0.0977: -8.47 -> -8
  EXPECT_NEAR(static_cast<double>(ConvertK7K8(raw, kK7HumidityFullScale, {}).humidity),
              -8.0 / (1.0546 - 0.00216 * 8.0), 1e-12);

  // The K8 full scale is 4096.
  raw.humidity = 2048;
  EXPECT_NEAR(static_cast<double>(ConvertK7K8(raw, kK8HumidityFullScale, {}).humidity),
              54.0 / (1.0546 - 0.00216 * 8.0), 1e-12);
}

TEST(SensorK7K8, PressureFromCoefficients) {
  RawReadings raw;
  raw.temperature = 500;
  raw.pressure = 400;
  // All four coefficients zero: 50 kPa whatever the readings.
  EXPECT_NEAR(static_cast<double>(ConvertK7K8(raw, kK8HumidityFullScale, {}).pressure), 50.0,
              1e-15);

  PressureCoefficients c;
  c.A0 = 2009.75L;
  c.B1 = -2.3758544921875L;
  c.B2 = -0.92047119140625L;
  c.C12 = 0.000790119171142578125L;
  // The raw Tadc (500), not the temperature, enters the compensation.
  const long double pcomp = 2009.75L + (-2.3758544921875L + 0.000790119171142578125L * 500) * 400 +
                            -0.92047119140625L * 500;
  EXPECT_NEAR(static_cast<double>(ConvertK7K8(raw, kK7HumidityFullScale, c).pressure),
              static_cast<double>(pcomp * 65 / 1023 + 50), 1e-9);
}

TEST(SensorLayouts, RawReadingsFromSampleBytes) {
  std::uint8_t image[16] = {};
  const std::int32_t a = 9;
  // K6: SORH at a-5/a-4, SOT at a-3/a-2.
  image[a - 5] = 0x03;
  image[a - 4] = 0xE8;
  image[a - 3] = 0x19;
  image[a - 2] = 0x64;
  RawReadings k6 = ReadK6Readings(image, a);
  EXPECT_EQ(k6.humidity, 1000u);
  EXPECT_EQ(k6.temperature, 6500u);

  // K7: eight high bits per channel, two low bits each packed in a-2.
  image[a - 5] = 0x80;           // humidity 0x80 << 2
  image[a - 4] = 0x96;           // temperature 0x96 << 2 = 600
  image[a - 3] = 0x64;           // pressure 0x64 << 2 = 400
  image[a - 2] = 0b11'01'10'01;  // P low 3, H low 1, T low 2, unused 1
  RawReadings k7 = ReadK7Readings(image, a);
  EXPECT_EQ(k7.humidity, 513u);
  EXPECT_EQ(k7.temperature, 602u);
  EXPECT_EQ(k7.pressure, 403u);

  // K8: P16 and T16 carry 10 bits above 6 unused ones; H16 is used whole.
  image[a - 7] = 0x64;
  image[a - 6] = 0x3F;  // 0x643F >> 6 = 400
  image[a - 5] = 0x96;
  image[a - 4] = 0x00;  // 0x9600 >> 6 = 600
  image[a - 3] = 0x08;
  image[a - 2] = 0x01;  // 0x0801
  RawReadings k8 = ReadK8Readings(image, a);
  EXPECT_EQ(k8.pressure, 400u);
  EXPECT_EQ(k8.temperature, 600u);
  EXPECT_EQ(k8.humidity, 0x0801u);
}

}  // namespace
}  // namespace kestrum
