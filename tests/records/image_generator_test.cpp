// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "records/date_time.h"
#include "records/image_builder.h"
#include "records/image_generator.h"
#include "records/open_data_file.h"

namespace kestrum {
namespace {

using testing::NewStore;
using testing::NoFiles;

Result<OpenedFile> Decode(const std::vector<std::uint8_t>& image, MeasurementStore& store) {
  return OpenImageBytes(image.data(), image.size(), "generated", store, NoFiles());
}

TEST(ImageGenerator, RunsAndHoursAsAsked) {
  for (InstrumentModel model :
       {InstrumentModel::K5, InstrumentModel::K6, InstrumentModel::K7, InstrumentModel::K8}) {
    GeneratorOptions options;
    options.model = model;
    options.runs = 4;
    options.hours = 30;
    options.start = EncodeDate(2023, 6, 1) + EncodeTime(9, 15, 0, 0);
    const std::vector<std::uint8_t> image = GenerateMemoryImage(options);
    ASSERT_EQ(image.size(), static_cast<std::size_t>(ImageLengthOf(model)));
    EXPECT_EQ(image[0], ModelMarkerOf(model));

    auto store = NewStore();
    const Result<OpenedFile> result = Decode(image, *store);
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(store->RunCount, 4) << ModelName(model);
    EXPECT_EQ(store->Runs[0].StartTime, options.start);
    // A K5 run shows one sample fewer than the instrument stores.
    const int shown = model == InstrumentModel::K5 ? 29 : 30;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(store->Runs[i].LastSample - store->Runs[i].FirstSample + 1, shown);
      if (i > 0) {
        EXPECT_GT(store->Runs[i].StartTime, store->Runs[i - 1].StartTime + 30 / 24.0);
      }
    }
    // Every slot beyond the runs is erased.
    EXPECT_EQ(image[DirectoryEntryOffset(5)], 0xFF);
  }
}

TEST(ImageGenerator, SameSeedSameImage) {
  GeneratorOptions options;
  options.model = InstrumentModel::K7;
  options.seed = 42;
  EXPECT_EQ(GenerateMemoryImage(options), GenerateMemoryImage(options));
  GeneratorOptions other = options;
  other.seed = 43;
  EXPECT_NE(GenerateMemoryImage(options), GenerateMemoryImage(other));
}

TEST(ImageGenerator, FullMemoryIsCutToWhatItHolds) {
  GeneratorOptions options;
  options.model = InstrumentModel::K8;
  options.runs = 2;
  options.hours = 100000;
  auto store = NewStore();
  ASSERT_TRUE(Decode(GenerateMemoryImage(options), *store).ok());
  // (131072 - 512) / 8 samples in the first run; nothing is left for a second.
  EXPECT_EQ(store->RunCount, 1);
  EXPECT_EQ(store->LastSampleIndex, 16319);
}

TEST(ImageGenerator, ZeroRunsGiveAnEmptyDirectory) {
  GeneratorOptions options;
  options.model = InstrumentModel::K6;
  options.runs = 0;
  auto store = NewStore();
  EXPECT_FALSE(Decode(GenerateMemoryImage(options), *store)->decode.foundRuns);
}

TEST(ImageGenerator, ValuesArePhysicallyPlausible) {
  for (InstrumentModel model : {InstrumentModel::K6, InstrumentModel::K7, InstrumentModel::K8}) {
    GeneratorOptions options;
    options.model = model;
    options.runs = 2;
    options.hours = 24 * 14;
    auto store = NewStore();
    ASSERT_TRUE(Decode(GenerateMemoryImage(options), *store).ok());
    ASSERT_EQ(store->LastSampleIndex, 2 * 24 * 14 - 1);
    double sum = 0;
    for (int i = 0; i <= store->LastSampleIndex; ++i) {
      const SampleRecord& s = store->Samples[i];
      EXPECT_GE(s.Concentration, 0);
      EXPECT_LT(s.Concentration, 2000);
      EXPECT_GT(s.TemperatureValue, 10);
      EXPECT_LT(s.TemperatureValue, 30);
      EXPECT_GT(s.HumidityValue, 3);
      EXPECT_LT(s.HumidityValue, 97);
      if (model != InstrumentModel::K6) {
        EXPECT_GT(s.PressureValue, 97);
        EXPECT_LT(s.PressureValue, 106);
      }
      sum += static_cast<double>(s.Concentration);
    }
    const double mean = sum / (store->LastSampleIndex + 1);
    EXPECT_GT(mean, 40);
    EXPECT_LT(mean, 300);
  }
}

TEST(ImageGenerator, PulsesFollowTheCalibrationFactorAndCountingStatistics) {
  GeneratorOptions options;
  options.model = InstrumentModel::K7;  // factor 6.25
  options.runs = 1;
  options.hours = 5000;
  const std::vector<std::uint8_t> image = GenerateMemoryImage(options);
  EXPECT_EQ(image[7], 6);
  EXPECT_EQ(image[8], 25);
  auto store = NewStore();
  ASSERT_TRUE(Decode(image, *store).ok());
  ASSERT_EQ(store->LastSampleIndex, 4999);
  // Poisson counts: successive differences have a variance of twice the mean
  // (the radon level changes little within an hour).
  double mean = 0, squares = 0;
  for (int i = 0; i < 5000; ++i) mean += static_cast<double>(store->Samples[i].Pulses);
  mean /= 5000;
  for (int i = 1; i < 5000; ++i) {
    const double d = static_cast<double>(store->Samples[i].Pulses - store->Samples[i - 1].Pulses);
    squares += d * d;
  }
  const double varianceOfDifferences = squares / 4999;
  EXPECT_NEAR(varianceOfDifferences / (2 * mean), 1.0, 0.2);
  EXPECT_EQ(store->Samples[0].Concentration, store->Samples[0].Pulses * 6.25L);
}

}  // namespace
}  // namespace kestrum
