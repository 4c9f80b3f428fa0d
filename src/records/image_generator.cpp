// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/image_generator.h"

#include <algorithm>
#include <cmath>

#include "records/bcd.h"
#include "records/big_endian.h"
#include "records/date_time.h"
#include "records/decoder_inputs.h"
#include "records/generator_random.h"
#include "records/memory_layout.h"
#include "records/model_facts.h"
#include "records/model_parameters.h"
#include "records/sensor_channels.h"

namespace kestrum {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// Pressure-sensor coefficient words of the generated K7/K8 images (A0, B1, B2, C12).
constexpr std::uint8_t kCoefficientBytes[8] = {0x3E, 0xCE, 0xB3, 0xF9, 0xC5, 0x17, 0x33, 0xC8};

// Where the generated runs lie and the calibration the image states.
struct Placement {
  std::int32_t top;     // start address of the first run
  std::int32_t bottom;  // lowest address a sample may use
  std::uint8_t calibrationWhole;
  std::uint8_t calibrationHundredths;
};

Placement PlacementOf(InstrumentModel model) {
  const std::int32_t memoryTop = ImageLengthOf(model);
  switch (model) {
    case InstrumentModel::K5:
      return {memoryTop, 256, 6, 0};
    case InstrumentModel::K6:
      return {32766, 256, 6, 50};  // 15-bit addresses
    case InstrumentModel::K7:
      return {memoryTop - 1, 512, 6, 25};  // the K7 download leaves out the last byte
    default:
      return {memoryTop, 512, 5, 75};
  }
}

void PutWord(std::vector<std::uint8_t>& image, std::int32_t high, std::uint32_t word) {
  PutBigEndian16(image.data(), static_cast<std::size_t>(high), word);
}

std::uint32_t Clamp(double value, std::uint32_t highest) {
  if (!(value > 0)) return 0;
  return value >= highest ? highest : static_cast<std::uint32_t>(std::lround(value));
}

// The air of the room the instrument stands in.
struct Climate {
  double radonBase;  // Bq/m3
  double phase;

  double Radon(DateTime t) const {
    const double hourOfDay = std::fmod(t, 1.0) * 24;
    return radonBase * (1 + 0.5 * std::cos(kTwoPi * (hourOfDay - 5) / 24)) *
           (1 + 0.3 * std::sin(kTwoPi * t / 7.3 + phase));
  }
  double Temperature(DateTime t, GeneratorRandom& random) const {
    const double hourOfDay = std::fmod(t, 1.0) * 24;
    return 19 + 2.5 * std::sin(kTwoPi * (hourOfDay - 9) / 24) + 1.5 * std::sin(kTwoPi * t / 11) +
           0.15 * random.Normal();
  }
  double Humidity(DateTime t, GeneratorRandom& random) const {
    const double hourOfDay = std::fmod(t, 1.0) * 24;
    const double rh = 50 - 10 * std::sin(kTwoPi * (hourOfDay - 9) / 24) +
                      5 * std::sin(kTwoPi * t / 6 + phase) + random.Normal();
    return std::clamp(rh, 5.0, 95.0);
  }
  double Pressure(DateTime t, GeneratorRandom& random) const {
    return 101.3 + 1.2 * std::sin(kTwoPi * t / 4.7 + phase) + 0.4 * std::sin(kTwoPi * t / 1.9) +
           0.03 * random.Normal();
  }
};

// Smallest SORH whose converted humidity reaches rh at this SOT.
std::uint32_t K6HumidityReading(std::uint32_t sot, double rh) {
  std::uint32_t low = 0, high = 4095;
  while (low < high) {
    const std::uint32_t mid = (low + high) / 2;
    if (ConvertK6(sot, mid).humidity < rh) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

struct K7K8Readings {
  std::uint32_t tadc, hadc, padc;
};

K7K8Readings K7K8ReadingsFor(double t, double rh, double kpa, double fullScale,
                             const PressureCoefficients& c) {
  K7K8Readings r;
  r.tadc = Clamp(605.75 - 5.35 * (t - 7), 1023);
  const double shownT = static_cast<double>(K7K8Temperature(r.tadc));
  const double sensorHumidity = std::round(rh * (1.0546 - 0.00216 * shownT));
  r.hadc = Clamp(fullScale * (0.1515 + 0.00636 * (sensorHumidity + 0.5)),
                 static_cast<std::uint32_t>(fullScale) - 1);
  const double pcomp = (kpa - 50) / 0.0635386119257087;
  const double slope = static_cast<double>(c.B1 + c.C12 * r.tadc);
  r.padc = Clamp((pcomp - static_cast<double>(c.A0 + c.B2 * r.tadc)) / slope, 1023);
  return r;
}

void WriteSample(std::vector<std::uint8_t>& image, InstrumentModel model, std::int32_t a,
                 std::uint32_t pulses, double t, double rh, double kpa,
                 const PressureCoefficients& c) {
  PutWord(image, a - 1, pulses);
  switch (model) {
    case InstrumentModel::K5:
      return;
    case InstrumentModel::K6: {
      const std::uint32_t sot = Clamp((t + 40) * 100, 16383);
      PutWord(image, a - 3, sot);
      PutWord(image, a - 5, K6HumidityReading(sot, rh));
      return;
    }
    case InstrumentModel::K7: {
      const K7K8Readings r = K7K8ReadingsFor(t, rh, kpa, 1024, c);
      image[a - 5] = static_cast<std::uint8_t>(r.hadc >> 2);
      image[a - 4] = static_cast<std::uint8_t>(r.tadc >> 2);
      image[a - 3] = static_cast<std::uint8_t>(r.padc >> 2);
      image[a - 2] =
          static_cast<std::uint8_t>((r.padc & 3) << 6 | (r.hadc & 3) << 4 | (r.tadc & 3) << 2);
      return;
    }
    case InstrumentModel::K8: {
      const K7K8Readings r = K7K8ReadingsFor(t, rh, kpa, 4096, c);
      PutWord(image, a - 7, r.padc << 6);
      PutWord(image, a - 5, r.tadc << 6);
      PutWord(image, a - 3, r.hadc);
      return;
    }
  }
}

void WriteDirectoryEntry(std::vector<std::uint8_t>& image, const ModelParameters& p, int slot,
                         std::int32_t start, DateTime startTime) {
  const int offset = DirectoryEntryOffset(slot);
  PutAddressAt(image.data(), p.model, static_cast<std::size_t>(offset),
               static_cast<std::uint32_t>(start));
  const DateTimeFields f = SplitDateTime(startTime);
  std::uint8_t* t = &image[offset + p.addressBytes];
  t[0] = ByteToBcd(f.minute);
  t[1] = ByteToBcd(f.hour);
  t[2] = ByteToBcd(f.day);
  t[3] = ByteToBcd(f.month);
  t[4] = ByteToBcd(f.year % 100);
  if (p.addressBytes == 2) t[5] = 0;  // the unused eighth byte
}

}  // namespace

std::vector<std::uint8_t> GenerateMemoryImage(const GeneratorOptions& options,
                                              DateTime* lastRunEnd) {
  const InstrumentModel model = options.model;
  const ModelParameters& p = ParametersOf(model);
  const Placement placement = PlacementOf(model);
  GeneratorRandom random(options.seed);

  // Unwritten memory reads as erased flash.
  std::vector<std::uint8_t> image(static_cast<std::size_t>(ImageLengthOf(model)), 0xFF);
  std::fill(image.begin(), image.begin() + DirectoryEntryOffset(1), 0);
  image[0] = ModelMarkerOf(model);
  image[kCalibrationByte] = placement.calibrationWhole;
  image[kCalibrationByte + 1] = placement.calibrationHundredths;
  const double factor = placement.calibrationWhole + placement.calibrationHundredths / 100.0;
  PressureCoefficients coefficients;
  if (HasPressureCoefficients(model)) {
    std::copy(kCoefficientBytes, kCoefficientBytes + 8, image.begin() + kPressureCoefficientsByte);
    coefficients = DecodePressureCoefficients(kCoefficientBytes);
  }

  const Climate climate{60 + 120 * random.Uniform(), kTwoPi * random.Uniform()};
  DateTime runStart =
      options.start != 0 ? options.start : EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
  // Whole minutes, as the instrument's clock stamps them.
  runStart = std::round(runStart * 1440) / 1440;

  const int runs = std::clamp(options.runs, 0, kDirectorySlots);
  std::int32_t start = placement.top;
  std::int32_t writePointer = placement.top;
  DateTime end = runStart;
  int made = 0;
  for (; made < runs; ++made) {
    const std::int32_t room = (start - placement.bottom) / p.sampleSize;
    const std::int32_t hours = std::min<std::int32_t>(std::max(options.hours, 1), room);
    if (hours < 1) break;
    WriteDirectoryEntry(image, p, made + 1, start, runStart);
    for (std::int32_t n = 0; n < hours; ++n) {
      const DateTime t = runStart + (n + 0.5) / 24;
      const std::uint32_t pulses =
          std::min<std::uint32_t>(random.Poisson(climate.Radon(t) / factor), 65535);
      const double temperature = climate.Temperature(t, random);
      const double humidity = climate.Humidity(t, random);
      const double pressure = climate.Pressure(t, random);
      WriteSample(image, model, start - 1 - n * p.sampleSize, pulses, temperature, humidity,
                  pressure, coefficients);
    }
    end = runStart + hours / 24.0;
    const std::int32_t last = start - hours * p.sampleSize;
    // K7/K8 directories give a slot's end as the next start + 6.
    start = last - p.nextStartOffset;
    writePointer = last - p.writePointerOffset;
    runStart += hours / 24.0 + random.Between(1, 30) / 24.0 + random.Between(0, 59) / 1440.0;
    runStart = std::round(runStart * 1440) / 1440;
  }

  if (lastRunEnd) *lastRunEnd = end;
  // The directory pointer names the next free slot; the write pointer the next free address.
  image[kDirectoryPointerByte] = static_cast<std::uint8_t>((made + 1) * kDirectoryEntryBytes);
  SetWritePointer(image.data(), model, static_cast<std::uint32_t>(writePointer));
  if (p.slot27EndFromHeader) {
    PutAddressAt(image.data(), model, kSlot27EndByte, static_cast<std::uint32_t>(writePointer));
  }
  return image;
}

}  // namespace kestrum
