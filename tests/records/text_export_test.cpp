// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "records/date_time.h"
#include "records/image_builder.h"
#include "records/text_export.h"
#include "records/whole_number_text.h"

namespace kestrum {
namespace {

using testing::ImageBuilder;
using testing::NewStore;
using testing::NoFiles;
using testing::Stamp;

TEST(WholeNumbers, RoundHalfToEvenWithoutNegativeZero) {
  EXPECT_EQ(RoundedIntegerText(32.5L), "32");
  EXPECT_EQ(RoundedIntegerText(33.5L), "34");
  EXPECT_EQ(RoundedIntegerText(-2.5L), "-2");
  EXPECT_EQ(RoundedIntegerText(-3.5L), "-4");
  EXPECT_EQ(RoundedIntegerText(-0.4L), "0");
  EXPECT_EQ(RoundedIntegerText(-0.0L), "0");
  EXPECT_EQ(RoundedIntegerText(101.49999L), "101");
  EXPECT_EQ(RoundedIntegerText(393210.0L), "393210");
}

// One K7 sample: 4 pulses, Tadc 600 (8.0 degrees), Hadc 512, coefficients zero.
void LoadK7Sample(MeasurementStore& store) {
  ImageBuilder b(InstrumentModel::K7);
  b.DirectorySlot(2).WritePointer(1982).Slot(1, 2000, Stamp(2024, 3, 5, 14, 30));
  b.Byte(1994, 0x80).Byte(1995, 0x96).Pulses(1999, 4);
  // Second sample: Tadc 700 (-10.6 degrees), Hadc 100 (sensor humidity -8).
  b.Byte(1988, 0x19).Byte(1989, 0xAF).Pulses(1993, 3);
  b.LoadInto(store);
  DecodeImageK7(store, NoFiles(EncodeDate(2025, 1, 1)));
  ASSERT_EQ(store.LastSampleIndex, 1);
}

TEST(TextExport, K7LinesCarryEnvironmentAndEndWithSeparator) {
  auto store = NewStore();
  LoadK7Sample(*store);
  // Humidity 54 / (1.0546 - 0.01728) = 52.06; -8 / (1.0546 + 0.022896) = -7.42.
  EXPECT_EQ(TextExportContent(*store, {}),
            "Time; Bqm3; Error; Temperature; Humidity%; Presssure\r\n"
            "24/03/05 15:30; 24; 12; 8; 52; 50; \r\n"
            "24/03/05 16:30; 18; 10; -11; -7; 50; \r\n");
}

TEST(TextExport, K6HasThreeColumnsAndOwnSeparators) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  b.Calibration(6, 50).DirectorySlot(2).WritePointer(994).Slot(1, 1000, Stamp(2009, 11, 28, 9, 5));
  b.Byte(994, 0x03).Byte(995, 0xE8).Byte(996, 0x19).Byte(997, 0x64).Pulses(999, 5);
  b.LoadInto(*store);
  DecodeImageK6(*store, NoFiles());
  ASSERT_EQ(store->LastSampleIndex, 0);
  // 32.5 rounds to 32; error trunc(32.5 / sqrt 5) = 14.
  EXPECT_EQ(TextExportContent(*store, {".", "-"}),
            "Time; Bqm3; Error\r\n"
            "09.11.28 10-05; 32; 14\r\n");
}

TEST(TextExport, NoSamplesGiveTheHeaderOnly) {
  auto store = NewStore();
  ImageBuilder(InstrumentModel::K8).LoadInto(*store);
  DecodeImageK8(*store, NoFiles());
  EXPECT_EQ(TextExportContent(*store, {}),
            "Time; Bqm3; Error; Temperature; Humidity%; Presssure\r\n");
  ImageBuilder(InstrumentModel::K5).LoadInto(*store);
  DecodeImageK5(*store, NoFiles());
  EXPECT_EQ(TextExportContent(*store, {}), "Time; Bqm3; Error\r\n");
}

TEST(TextExport, SaveWritesTheSameBytesOrReportsTheError) {
  testing::TempFolder folder;
  auto store = NewStore();
  LoadK7Sample(*store);
  ASSERT_EQ(SaveTextExport(folder.File("out.txt"), *store, {}).error(), "");
  EXPECT_EQ(testing::ReadWholeFile(folder.File("out.txt")), TextExportContent(*store, {}));
  EXPECT_EQ(SaveTextExport(folder.File("missing/out.txt"), *store, {}).error(),
            "No such file or directory");
}

}  // namespace
}  // namespace kestrum
