// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>

#include "records/date_time.h"
#include "records/image_builder.h"
#include "records/image_decoder.h"
#include "records/image_generator.h"
#include "records/open_data_file.h"
#include "records/sensor_channels.h"

namespace kestrum {
namespace {

using testing::ImageBuilder;
using testing::NewStore;
using testing::NoFiles;
using testing::SlotStamp;
using testing::Stamp;

const DateTime kMarch5At1430 = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);

// Entries of the diagnostic text after "Memo1", split at the form feeds.
std::vector<std::string> DiagnosticEntries(const std::string& memo) {
  std::vector<std::string> entries;
  std::size_t pos = memo.find('\f');
  while (pos != std::string::npos) {
    const std::size_t next = memo.find('\f', pos + 1);
    entries.push_back(memo.substr(pos + 1, next == std::string::npos ? next : next - pos - 1));
    pos = next;
  }
  return entries;
}

TEST(DecodeImage, ErasedDirectoryHasNoRuns) {
  auto store = NewStore();
  for (InstrumentModel model :
       {InstrumentModel::K5, InstrumentModel::K6, InstrumentModel::K7, InstrumentModel::K8}) {
    ImageBuilder(model).LoadInto(*store);
    store->LastSampleIndex = 17;
    const DecodeResult result = *DecodeImage(*store, NoFiles());
    EXPECT_FALSE(result.foundRuns);
    EXPECT_TRUE(result.itemTexts.empty());
    EXPECT_EQ(store->RunCount, 0);
    EXPECT_EQ(store->LastSampleIndex, -1);
    EXPECT_EQ(store->Runs[0].LastSample, 0);  // the whole run list is zero
    EXPECT_TRUE(result.dateTimeError.empty());
  }
}

TEST(DecodeImage, K5RunShowsOneSampleFewerThanItStores) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K5);
  b.DirectorySlot(2).WritePointer(900).Slot(1, 1000, Stamp(2024, 3, 5, 14, 30));
  for (int n = 0; n < 50; ++n) b.Pulses(999 - 2 * n, static_cast<std::uint16_t>(100 + n));
  b.LoadInto(*store);
  store->Samples[0].TemperatureValue = 12.5;  // K5 leaves these alone

  const DecodeResult result = DecodeImageK5(*store, NoFiles());
  ASSERT_EQ(store->RunCount, 1);
  EXPECT_EQ(store->Runs[0].FirstSample, 0);
  EXPECT_EQ(store->Runs[0].LastSample, 48);  // 50 read, 49 shown
  EXPECT_EQ(store->LastSampleIndex, 48);
  EXPECT_EQ(store->Runs[0].StartTime, kMarch5At1430);
  EXPECT_EQ(store->Samples[0].Pulses, 100);
  EXPECT_EQ(store->Samples[48].Pulses, 148);
  EXPECT_EQ(store->Samples[0].Concentration, 600);
  EXPECT_EQ(store->Samples[0].TemperatureValue, 12.5L);
  // 49 hours after 14:30 on the 5th.
  ASSERT_EQ(result.itemTexts.size(), 1u);
  EXPECT_EQ(result.itemTexts[0], "05/03 14.30 TO 07/03 15.xx");
  // The "All measurements" entry follows the run and selects the same range.
  EXPECT_EQ(store->Runs[1].FirstSample, 0);
  EXPECT_EQ(store->Runs[1].LastSample, 48);
  EXPECT_EQ(store->Runs[1].StartTime, kMarch5At1430);
  EXPECT_EQ(store->Runs[2].StartTime, 0);
}

TEST(DecodeImage, K6SamplesAreHourlyFromTheRunStart) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  b.DirectorySlot(2).WritePointer(940).Slot(1, 1000, Stamp(2024, 3, 5, 14, 30));
  // Bit 15 of a K6 address is not part of it: 0x83E8 is 1000.
  b.Byte(DirectoryEntryOffset(1), 0x83);
  b.LoadInto(*store);
  DecodeImageK6(*store, NoFiles());
  ASSERT_EQ(store->RunCount, 1);
  ASSERT_EQ(store->LastSampleIndex, 9);
  for (int n = 0; n < 10; ++n) {
    EXPECT_DOUBLE_EQ(store->Samples[n].Time, kMarch5At1430 + (n + 1) / 24.0) << n;
  }
}

TEST(DecodeImage, K5AddressesUseAllSixteenBits) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K5);
  b.DirectorySlot(2).WritePointer(900).Slot(1, 0x83E8, Stamp(2024, 3, 5, 14, 30));
  b.LoadInto(*store);
  DecodeImageK5(*store, NoFiles());
  EXPECT_EQ(store->RunCount, 0);  // 33768 lies above the K5 memory
}

TEST(DecodeImage, K7SlotEndsSixAboveTheNextStart) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K7);
  b.DirectorySlot(3).WritePointer(1094);
  b.Slot(1, 2000, Stamp(2024, 3, 5, 14, 30)).Slot(2, 1400, Stamp(2024, 3, 10, 8, 0));
  b.LoadInto(*store);
  DecodeImageK7(*store, NoFiles(EncodeDate(2025, 1, 1)));
  ASSERT_EQ(store->RunCount, 2);
  // Slot 1 ends at 1406: (2000 - 1406) div 6 = 99. Slot 2 ends at the write pointer + 6.
  EXPECT_EQ(store->Runs[0].LastSample - store->Runs[0].FirstSample + 1, 99);
  EXPECT_EQ(store->Runs[1].LastSample - store->Runs[1].FirstSample + 1, 50);
  EXPECT_EQ(store->LastSampleIndex, 148);
}

TEST(DecodeImage, K8ReadsWholeEightByteSamplesAboveTheEnd) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K8);
  b.DirectorySlot(2).WritePointer(1194).Slot(1, 2000, Stamp(2024, 3, 5, 14, 30));
  for (int n = 0; n < 100; ++n) b.Pulses(1999 - 8 * n, static_cast<std::uint16_t>(n + 1));
  b.Pulses(1199, 999);  // first byte pair below the run: never read
  b.LoadInto(*store);
  DecodeImageK8(*store, NoFiles(EncodeDate(2025, 1, 1)));
  ASSERT_EQ(store->RunCount, 1);
  ASSERT_EQ(store->LastSampleIndex, 99);
  EXPECT_EQ(store->Samples[0].Pulses, 1);
  EXPECT_EQ(store->Samples[99].Pulses, 100);
}

TEST(DecodeImage, Slot27EndsAtHeaderBytesOrWritePointer) {
  auto store = NewStore();
  ImageBuilder k5(InstrumentModel::K5);
  k5.Slot27End(2000).Slot(27, 3000, Stamp(2024, 3, 5, 14, 30));
  k5.LoadInto(*store);
  DecodeImageK5(*store, NoFiles());
  ASSERT_EQ(store->RunCount, 1);
  EXPECT_EQ(store->LastSampleIndex, 498);  // 500 stored, 499 shown

  ImageBuilder k6(InstrumentModel::K6);
  k6.Slot27End(0x8000 | 2400).Slot(27, 3000, Stamp(2024, 3, 5, 14, 30));  // bit 15 masked
  k6.LoadInto(*store);
  DecodeImageK6(*store, NoFiles());
  ASSERT_EQ(store->RunCount, 1);
  EXPECT_EQ(store->LastSampleIndex, 99);

  ImageBuilder k7(InstrumentModel::K7);
  k7.WritePointer(3994).Slot(27, 5000, Stamp(2024, 3, 5, 14, 30));
  k7.LoadInto(*store);
  DecodeImageK7(*store, NoFiles(EncodeDate(2025, 1, 1)));
  ASSERT_EQ(store->RunCount, 1);
  EXPECT_EQ(store->LastSampleIndex, 165);  // (5000 - 4000) div 6 = 166
}

TEST(DecodeImage, DirectorySlotTakesTheFinalAddress) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K7);
  b.DirectorySlot(1).WritePointer(4700);
  b.Slot(1, 5000, Stamp(2024, 3, 5, 14, 30)).SlotStart(2, 4400);
  b.LoadInto(*store);
  DecodeImageK7(*store, NoFiles(EncodeDate(2025, 1, 1)));
  ASSERT_EQ(store->RunCount, 1);
  EXPECT_EQ(store->LastSampleIndex, 49);  // 300 bytes, not the 594 up to slot 2
  const std::vector<std::string> entries = DiagnosticEntries(store->diagnosticText);
  ASSERT_EQ(entries.size(), 27u);
  EXPECT_EQ(entries[0], "5000, 4700, 2024, 3, 5, 14, OK");
}

TEST(DecodeImage, EndAboveStartOrBelowTheDataAreaIsEmpty) {
  auto store = NewStore();
  // K7: the final address replaces the end without any range check.
  for (std::uint32_t finalAddress : {5100u, 100u, 0xFFFFFFu}) {
    ImageBuilder b(InstrumentModel::K7);
    b.DirectorySlot(1).WritePointer(finalAddress);
    b.Slot(1, 5000, Stamp(2024, 3, 5, 14, 30)).SlotStart(2, 4400);
    b.Slot(3, 4000, Stamp(2024, 3, 6, 14, 30)).SlotStart(4, 3394);
    b.LoadInto(*store);
    store->diagnosticText = "Memo1";
    DecodeImageK7(*store, NoFiles(EncodeDate(2025, 1, 1)));
    ASSERT_EQ(store->RunCount, 1) << finalAddress;
    EXPECT_EQ(store->LastSampleIndex, 99);  // slot 3 alone, from index 0
    const std::vector<std::string> entries = DiagnosticEntries(store->diagnosticText);
    EXPECT_EQ(entries[0], "5000, " + std::to_string(finalAddress) + ", 2024, 3, 5, 14, empty");
  }
  // K6: the final address keeps bit 15, the slot before it the masked pointer.
  ImageBuilder k6(InstrumentModel::K6);
  k6.DirectorySlot(1).WritePointer(0x8000 | 900);
  k6.Slot(1, 1000, Stamp(2024, 3, 5, 14, 30)).SlotStart(2, 940);
  k6.LoadInto(*store);
  DecodeImageK6(*store, NoFiles());
  EXPECT_EQ(store->RunCount, 0);
  // An end equal to the start.
  ImageBuilder same(InstrumentModel::K6);
  same.DirectorySlot(2).WritePointer(1000).Slot(1, 1000, Stamp(2024, 3, 5, 14, 30));
  same.LoadInto(*store);
  DecodeImageK6(*store, NoFiles());
  EXPECT_EQ(store->RunCount, 0);
}

TEST(DecodeImage, RangeAndTimeFieldChecks) {
  struct Case {
    SlotStamp stamp;
    bool valid;
  };
  const Case cases[] = {
      {{0x61, 0x14, 0x05, 0x03, 0x24}, false},  // minute 61
      {{0x30, 0x25, 0x05, 0x03, 0x24}, false},  // hour 25
      {{0x30, 0x14, 0x00, 0x03, 0x24}, false},  // day 0
      {{0x30, 0x14, 0x32, 0x03, 0x24}, false},  // day 32
      {{0x30, 0x14, 0x05, 0x00, 0x24}, false},  // month 0
      {{0x30, 0x14, 0x05, 0x13, 0x24}, false},  // month 13
      {{0x30, 0x14, 0x05, 0x03, 0xFF}, true},   // the year is not checked: 2165
      {{0x59, 0x23, 0x31, 0x12, 0x99}, true},
  };
  auto store = NewStore();
  for (const Case& c : cases) {
    ImageBuilder b(InstrumentModel::K6);
    b.DirectorySlot(2).WritePointer(940).Slot(1, 1000, c.stamp);
    b.LoadInto(*store);
    const DecodeResult result = DecodeImageK6(*store, NoFiles());
    EXPECT_EQ(store->RunCount, c.valid ? 1 : 0) << int(c.stamp.minute) << " " << int(c.stamp.day);
    EXPECT_TRUE(result.dateTimeError.empty());
  }
  // The highest K5 start address is the top of its memory.
  for (std::uint32_t start : {8192u, 8193u}) {
    ImageBuilder b(InstrumentModel::K5);
    b.DirectorySlot(2).WritePointer(8000).Slot(1, start, Stamp(2024, 3, 5, 14, 30));
    b.LoadInto(*store);
    DecodeImageK5(*store, NoFiles());
    EXPECT_EQ(store->RunCount, start == 8192 ? 1 : 0) << start;
  }
}

TEST(DecodeImage, UnencodableDateSkipsOnlyThatSlot) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  b.DirectorySlot(4).WritePointer(820);
  b.Slot(1, 1000, Stamp(2024, 3, 5, 14, 30));
  b.Slot(2, 940, {0x60, 0x10, 0x06, 0x03, 0x24});  // minute 60
  b.Slot(3, 880, Stamp(2024, 3, 7, 9, 0));
  b.LoadInto(*store);
  DecodeResult result = DecodeImageK6(*store, NoFiles());
  EXPECT_EQ(result.dateTimeError, "Invalid argument to time encode");
  ASSERT_EQ(store->RunCount, 2);
  EXPECT_EQ(store->LastSampleIndex, 19);
  EXPECT_EQ(store->Runs[1].StartTime, EncodeDate(2024, 3, 7) + EncodeTime(9, 0, 0, 0));
  const std::vector<std::string> entries = DiagnosticEntries(store->diagnosticText);
  EXPECT_EQ(entries[1], "940, 880, 2024, 3, 6, 10, OK");

  // Hour 24 is a time error; 31 February a date error; one message per decode.
  b.Slot(2, 940, {0x00, 0x24, 0x06, 0x03, 0x24});
  b.Slot(3, 880, {0x00, 0x09, 0x31, 0x02, 0x24});
  b.LoadInto(*store);
  result = DecodeImageK6(*store, NoFiles());
  EXPECT_EQ(result.dateTimeError, "Invalid argument to time encode");
  EXPECT_EQ(store->RunCount, 1);

  b.Slot(2, 940, Stamp(2024, 3, 6, 10, 0));
  b.LoadInto(*store);
  result = DecodeImageK6(*store, NoFiles());
  EXPECT_EQ(result.dateTimeError, "Invalid argument to date encode");
  EXPECT_EQ(store->RunCount, 2);
  EXPECT_EQ(result.itemTexts.size(), 2u);
}

TEST(DecodeImage, RunsSortedByStartEqualStartsInSlotOrder) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  b.DirectorySlot(4).WritePointer(700);
  b.Slot(1, 1000, Stamp(2024, 3, 10, 8, 0));  // 10 samples, down to 940
  b.Slot(2, 940, Stamp(2024, 3, 5, 8, 0));    // 20 samples, down to 820
  b.Slot(3, 820, Stamp(2024, 3, 10, 8, 0));   // 20 samples, down to 700
  b.Pulses(999, 11).Pulses(939, 22).Pulses(819, 33);
  b.LoadInto(*store);
  const DecodeResult result = DecodeImageK6(*store, NoFiles());
  ASSERT_EQ(store->RunCount, 3);
  // Slot 2 first (earliest), then slots 1 and 3, equal times in slot order.
  EXPECT_EQ(store->Runs[0].FirstSample, 0);
  EXPECT_EQ(store->Runs[0].LastSample, 19);
  EXPECT_EQ(store->Runs[1].FirstSample, 20);
  EXPECT_EQ(store->Runs[1].LastSample, 29);
  EXPECT_EQ(store->Runs[2].FirstSample, 30);
  EXPECT_EQ(store->Runs[2].LastSample, 49);
  EXPECT_EQ(store->Samples[0].Pulses, 22);
  EXPECT_EQ(store->Samples[20].Pulses, 11);
  EXPECT_EQ(store->Samples[30].Pulses, 33);
  EXPECT_EQ(store->LastSampleIndex, 49);
  EXPECT_EQ(result.itemTexts[0], "05/03 08.00 TO 06/03 04.xx");
  EXPECT_EQ(result.itemTexts[1], "10/03 08.00 TO 10/03 18.xx");
  // All measurements: first of the first run to last of the last, first start.
  EXPECT_EQ(store->Runs[3].FirstSample, 0);
  EXPECT_EQ(store->Runs[3].LastSample, 49);
  EXPECT_EQ(store->Runs[3].StartTime, EncodeDate(2024, 3, 5) + EncodeTime(8, 0, 0, 0));
}

TEST(DecodeImage, RunsAfterTheYear2100AreKeptInOrder) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  b.DirectorySlot(3).WritePointer(880);
  b.Slot(1, 1000, {0x00, 0x08, 0x05, 0x03, 0xA5});  // year byte 0xA5: 2105
  b.Slot(2, 940, Stamp(2024, 3, 5, 8, 0));
  b.LoadInto(*store);
  const DecodeResult result = DecodeImageK6(*store, NoFiles());
  ASSERT_EQ(store->RunCount, 2);
  EXPECT_EQ(store->Runs[0].StartTime, EncodeDate(2024, 3, 5) + EncodeTime(8, 0, 0, 0));
  EXPECT_EQ(store->Runs[1].StartTime, EncodeDate(2105, 3, 5) + EncodeTime(8, 0, 0, 0));
  EXPECT_EQ(result.itemTexts.size(), 2u);
  EXPECT_EQ(store->Runs[2].FirstSample, 0);  // "All measurements" covers both
  EXPECT_EQ(store->Runs[2].LastSample, 19);
}

TEST(DecodeImage, ConcentrationAndTruncatedError) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  b.DirectorySlot(2).WritePointer(976).Slot(1, 1000, Stamp(2024, 3, 5, 14, 30));
  b.Pulses(999, 0).Pulses(993, 4).Pulses(987, 3).Pulses(981, 65535);
  b.LoadInto(*store);
  DecodeImageK6(*store, NoFiles());
  ASSERT_EQ(store->LastSampleIndex, 3);
  EXPECT_EQ(store->Samples[0].Concentration, 0);
  EXPECT_EQ(store->Samples[0].Error, 0);
  EXPECT_EQ(store->Samples[1].Concentration, 24);
  EXPECT_EQ(store->Samples[1].Error, 12);
  EXPECT_EQ(store->Samples[2].Concentration, 18);
  EXPECT_EQ(store->Samples[2].Error, 10);  // 10.39 truncated
  EXPECT_EQ(store->Samples[3].Concentration, 393210);
  EXPECT_EQ(store->Samples[3].Error, 1535);  // 6 * 255.998
}

TEST(DecodeImage, EnvironmentalValuesOfEachModel) {
  auto store = NewStore();
  ImageBuilder k6(InstrumentModel::K6);
  k6.DirectorySlot(2).WritePointer(994).Slot(1, 1000, Stamp(2024, 3, 5, 14, 30));
  k6.Byte(994, 0x03).Byte(995, 0xE8).Byte(996, 0x19).Byte(997, 0x64);  // SORH 1000, SOT 6500
  k6.LoadInto(*store);
  store->Samples[0].PressureValue = 77;
  DecodeImageK6(*store, NoFiles());
  ASSERT_EQ(store->LastSampleIndex, 0);
  EXPECT_NEAR(static_cast<double>(store->Samples[0].TemperatureValue), 25.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(store->Samples[0].HumidityValue), 33.7, 1e-9);
  EXPECT_EQ(store->Samples[0].PressureValue, 77);  // K6 has no pressure

  ImageBuilder k8(InstrumentModel::K8);
  k8.DirectorySlot(2).WritePointer(1986).Slot(1, 2000, Stamp(2024, 3, 5, 14, 30));
  // Sample bytes 1992..1999: P16, T16, H16, pulses. Coefficient words all zero.
  k8.Byte(1994, 0x96).Byte(1995, 0x00).Byte(1996, 0x08).Byte(1997, 0x00);
  k8.LoadInto(*store);
  DecodeImageK8(*store, NoFiles(EncodeDate(2025, 1, 1)));
  ASSERT_EQ(store->LastSampleIndex, 0);
  EXPECT_NEAR(static_cast<double>(store->Samples[0].TemperatureValue), 8.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(store->Samples[0].HumidityValue), 54.0 / (1.0546 - 0.01728),
              1e-12);
  EXPECT_NEAR(static_cast<double>(store->Samples[0].PressureValue), 50.0, 1e-15);
}

TEST(DecodeImage, FutureK7RunsAreLeftOut) {
  const DateTime start = EncodeDate(2024, 3, 6) + EncodeTime(14, 30, 0, 0);
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K7);
  b.DirectorySlot(2).WritePointer(1394).Slot(1, 2000, Stamp(2024, 3, 6, 14, 30));
  b.LoadInto(*store);

  DecodeImageK7(*store, NoFiles(start - 1));  // one day before the start
  EXPECT_EQ(store->RunCount, 0);
  EXPECT_EQ(DiagnosticEntries(store->diagnosticText).front(), "2000, 1400, 2024, 3, 6, 14, OK");

  DecodeImageK7(*store, NoFiles(start - 2 * kOneMillisecond));
  EXPECT_EQ(store->RunCount, 0);
  DecodeImageK7(*store, NoFiles(start - 0.5 * kOneMillisecond));
  EXPECT_EQ(store->RunCount, 1);
  DecodeImageK7(*store, NoFiles(start));
  EXPECT_EQ(store->RunCount, 1);

  // K5 and K6 have no such check.
  ImageBuilder k6(InstrumentModel::K6);
  k6.DirectorySlot(2).WritePointer(940).Slot(1, 1000, Stamp(2099, 3, 6, 14, 30));
  k6.LoadInto(*store);
  DecodeImageK6(*store, NoFiles(start));
  EXPECT_EQ(store->RunCount, 1);
}

TEST(DecodeImage, OverlappingRunsNeverOverflowTheSampleStore) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K7);
  b.WritePointer(600);
  // Odd slots span (131071 - 606) div 6 = 21744 samples each; even slots are empty.
  for (int r = 1; r <= 27; ++r) {
    b.Slot(r, r % 2 ? 131071 : 600, Stamp(2024, 1, r, 12, 0));
  }
  b.LoadInto(*store);
  const DecodeResult result = DecodeImageK7(*store, NoFiles(EncodeDate(2025, 1, 1)));
  // Four fit (86976 samples); a fifth needs 21745 reads, more than the 13025 left.
  ASSERT_EQ(store->RunCount, 4);
  EXPECT_EQ(store->LastSampleIndex, 4 * 21744 - 1);
  EXPECT_EQ(result.itemTexts.size(), 4u);
  const std::vector<std::string> entries = DiagnosticEntries(store->diagnosticText);
  EXPECT_EQ(entries[6], "131071, 606, 2024, 1, 7, 12, OK");
  EXPECT_EQ(entries[8], "131071, 606, 2024, 1, 9, 12, empty");
}

TEST(DecodeImage, DiagnosticTextGrowsOverDecodes) {
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  b.DirectorySlot(2).WritePointer(940).Slot(1, 1000, Stamp(2024, 3, 5, 14, 30));
  b.LoadInto(*store);
  DecodeImageK6(*store, NoFiles());
  const std::string first = store->diagnosticText;
  EXPECT_EQ(first.rfind("Memo1\f1000, 940, 2024, 3, 5, 14, OK\f", 0), 0u);
  // An erased K6 slot reads start 0x7FFF and the 165s of erased BCD bytes.
  EXPECT_NE(first.find("\f32767, 32767, 2165, 165, 165, 165, empty"), std::string::npos);
  DecodeImageK6(*store, NoFiles());
  EXPECT_EQ(store->diagnosticText, first + first.substr(5));
  EXPECT_EQ(DiagnosticEntries(store->diagnosticText).size(), 54u);

  ImageBuilder k5(InstrumentModel::K5);
  k5.LoadInto(*store);
  DecodeImageK5(*store, NoFiles());
  EXPECT_EQ(DiagnosticEntries(store->diagnosticText).size(), 54u);  // K5 writes none
}

TEST(DecodeFiles, K5datAndDebugContents) {
  testing::TempFolder folder;
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  // Factor 6.5: 5 pulses give 32.5 (rounds to 32), 7 give 45.5 (46), 3 give 19.5 (20).
  b.Calibration(6, 50).DirectorySlot(2).WritePointer(982).Slot(1, 1000, Stamp(2024, 3, 5, 23, 30));
  b.Pulses(999, 5).Pulses(993, 7).Pulses(987, 3);
  b.LoadInto(*store);
  DecodeContext context = NoFiles();
  context.writeFiles = true;
  context.outputDirectory = folder.path();
  context.separators = {"-", ":"};
  const DecodeResult result = DecodeImageK6(*store, context);
  EXPECT_TRUE(result.filesWritten.ok());
  EXPECT_EQ(testing::ReadWholeFile(folder.File("k5dat.tmp")),
            "06-03 00.00; 32\r\n06-03 01.00; 46\r\n06-03 02.00; 20\r\n");
  EXPECT_EQ(testing::ReadWholeFile(folder.File("debug.tmp")), store->diagnosticText + "\r\n");
  EXPECT_EQ(result.itemTexts[0], "05-03 23.30 TO 06-03 02.xx");
}

TEST(DecodeFiles, EmptyK5datWithoutRunsAndNoDebugForK5) {
  testing::TempFolder folder;
  auto store = NewStore();
  ImageBuilder(InstrumentModel::K5).LoadInto(*store);
  DecodeContext context = NoFiles();
  context.writeFiles = true;
  context.outputDirectory = folder.path();
  const DecodeResult result = DecodeImageK5(*store, context);
  EXPECT_FALSE(result.foundRuns);
  EXPECT_TRUE(testing::FileExists(folder.File("k5dat.tmp")));
  EXPECT_EQ(testing::ReadWholeFile(folder.File("k5dat.tmp")), "");
  EXPECT_FALSE(testing::FileExists(folder.File("debug.tmp")));
}

TEST(DecodeFiles, WriteFailuresAreReportedAfterACompleteDecode) {
  testing::TempFolder folder;
  auto store = NewStore();
  ImageBuilder b(InstrumentModel::K6);
  b.DirectorySlot(2).WritePointer(940).Slot(1, 1000, Stamp(2024, 3, 5, 14, 30));
  b.LoadInto(*store);
  DecodeContext context = NoFiles();
  context.writeFiles = true;
  context.outputDirectory = folder.File("missing");
  DecodeResult result = DecodeImageK6(*store, context);
  EXPECT_EQ(result.filesWritten.error(), "No such file or directory");
  EXPECT_EQ(result.failedFile, folder.File("missing") + "/k5dat.tmp");
  EXPECT_EQ(store->RunCount, 1);
  EXPECT_EQ(store->LastSampleIndex, 9);

  // debug.tmp fails after a complete k5dat.tmp.
  ASSERT_EQ(::mkdir(folder.File("debug.tmp").c_str(), 0755), 0);
  context.outputDirectory = folder.path();
  result = DecodeImageK6(*store, context);
  EXPECT_EQ(result.filesWritten.error(), folder.File("debug.tmp") + " is not a regular file");
  EXPECT_EQ(result.failedFile, folder.File("debug.tmp"));
  EXPECT_EQ(testing::ReadWholeFile(folder.File("k5dat.tmp")).size(), 10 * 16u);  // "05/03 15.00; 0"
}

}  // namespace
}  // namespace kestrum

namespace kestrum {
namespace {

// The decoder reuses conversions of equal raw readings; every sample must still
// carry exactly what the formulas give for its own bytes.
TEST(DecodeImage, ReusedConversionsEqualTheFormulas) {
  for (InstrumentModel model : {InstrumentModel::K7, InstrumentModel::K8}) {
    GeneratorOptions options;
    options.model = model;
    options.runs = 2;
    options.hours = 500;
    std::vector<std::uint8_t> image = GenerateMemoryImage(options);
    // Some unusual readings: huge pulse counts and a humidity word beyond 12 bits.
    const int size = model == InstrumentModel::K7 ? 6 : 8;
    const std::int32_t top = model == InstrumentModel::K7 ? 131071 : 131072;
    for (int n = 0; n < 500; n += 7) {
      const std::int32_t a = top - 1 - n * size;
      image[a - 1] = static_cast<std::uint8_t>(n * 37);
      if (model == InstrumentModel::K8) image[a - 3] = static_cast<std::uint8_t>(0xF0 | n);
    }
    auto store = NewStore();
    ASSERT_TRUE(OpenImageBytes(image.data(), image.size(), "x", *store, NoFiles()).ok());
    const PressureCoefficients c = DecodePressureCoefficients(&image[9]);
    for (int n = 0; n < 500; ++n) {
      const std::int32_t a = top - 1 - n * size;
      const RawReadings raw = model == InstrumentModel::K7 ? ReadK7Readings(image.data(), a)
                                                           : ReadK8Readings(image.data(), a);
      const EnvironmentValues expected = ConvertK7K8(
          raw, model == InstrumentModel::K7 ? kK7HumidityFullScale : kK8HumidityFullScale, c);
      const SampleRecord& s = store->Samples[n];
      const Extended pulses = image[a - 1] * 256 + image[a];
      ASSERT_EQ(s.Pulses, pulses);
      EXPECT_EQ(s.Concentration, pulses * store->CalibrationFactor);
      EXPECT_EQ(s.Error, pulses > 0 ? std::truncl(s.Concentration * std::sqrt(1.0L / pulses)) : 0);
      EXPECT_EQ(s.TemperatureValue, expected.temperature) << n;
      EXPECT_EQ(s.HumidityValue, expected.humidity) << n;
      EXPECT_EQ(s.PressureValue, expected.pressure) << n;
    }
  }
}

}  // namespace
}  // namespace kestrum
