// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <stdexcept>

#include <QLocale>

#include "records/date_time.h"
#include "records/date_time_format.h"

namespace kestrum {
namespace {

TEST(DateTimeEncode, DaysCountFromThirtiethDecember1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 3, 1), 61);  // 1900 is no leap year
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(2024, 3, 5), 45356);
  EXPECT_EQ(EncodeDate(2024, 2, 29), 45351);
  EXPECT_DOUBLE_EQ(EncodeTime(14, 30, 0, 0), 14.5 / 24);
  EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000);
}

TEST(DateTimeEncode, InvalidFieldsFailWithTheUsersTexts) {
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29));
  EXPECT_FALSE(TryEncodeDate(2024, 2, 30));
  EXPECT_FALSE(TryEncodeDate(2024, 4, 31));
  EXPECT_FALSE(TryEncodeDate(2024, 0, 1));
  EXPECT_FALSE(TryEncodeDate(2024, 13, 1));
  EXPECT_FALSE(TryEncodeDate(2024, 1, 0));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0));
  EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000));

  try {
    EncodeDate(2024, 2, 31);
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to date encode");
  }
  try {
    EncodeTime(12, 60, 0, 0);
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to time encode");
  }
}

TEST(DateTimeSplit, RoundsToTheMillisecondFirst) {
  const DateTime start = EncodeDate(2024, 3, 5) + EncodeTime(14, 0, 0, 0);
  // start + 7/24 in double arithmetic lies just below 21:00.
  for (int n = 0; n < 200; ++n) {
    const DateTime t = static_cast<DateTime>(static_cast<Extended>(start) + (n + 1) / 24.0L);
    const DateTimeFields f = SplitDateTime(t);
    EXPECT_EQ(f.minute, 0) << n;
    EXPECT_EQ(f.second, 0) << n;
    EXPECT_EQ(f.millisecond, 0) << n;
    EXPECT_EQ(f.hour, (14 + n + 1) % 24) << n;
  }
  const DateTimeFields almostMidnight = SplitDateTime(EncodeDate(2024, 12, 31) + 0.9999999999);
  EXPECT_EQ(almostMidnight.year, 2025);
  EXPECT_EQ(almostMidnight.month, 1);
  EXPECT_EQ(almostMidnight.day, 1);
  EXPECT_EQ(almostMidnight.hour, 0);
}

TEST(DateTimeSplit, FieldsOfKnownDates) {
  const DateTimeFields f = SplitDateTime(EncodeDate(2024, 2, 29) + EncodeTime(7, 8, 9, 10));
  EXPECT_EQ(f.year, 2024);
  EXPECT_EQ(f.month, 2);
  EXPECT_EQ(f.day, 29);
  EXPECT_EQ(f.hour, 7);
  EXPECT_EQ(f.minute, 8);
  EXPECT_EQ(f.second, 9);
  EXPECT_EQ(f.millisecond, 10);
  const DateTimeFields before = SplitDateTime(-1.25);  // 29 Dec 1899, 06:00
  EXPECT_EQ(before.day, 29);
  EXPECT_EQ(before.hour, 6);
}

TEST(DateTimeFormat, PatternsWithSeparators) {
  const DateTime t = EncodeDate(2024, 3, 5) + EncodeTime(4, 7, 0, 0);
  const DateTimeSeparators c;
  EXPECT_EQ(FormatRunStart(t, c), "05/03 04.07");
  EXPECT_EQ(FormatRunEnd(t, c), "05/03 04.xx");
  EXPECT_EQ(FormatHourStamp(t, c), "05/03 04.00");
  EXPECT_EQ(FormatExportStamp(t, c), "24/03/05 04:07");

  const DateTimeSeparators dotted{".", "-"};
  EXPECT_EQ(FormatRunStart(t, dotted), "05.03 04.07");
  EXPECT_EQ(FormatHourStamp(t, dotted), "05.03 04.00");
  EXPECT_EQ(FormatExportStamp(t, dotted), "24.03.05 04-07");
}

TEST(DateTimeFormat, SeparatorsComeFromTheLocale) {
  const DateTimeSeparators c = SeparatorsOf(QLocale::c());
  EXPECT_EQ(c.date, "/");
  EXPECT_EQ(c.time, ":");
  const DateTimeSeparators german = SeparatorsOf(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(german.date, ".");
  EXPECT_EQ(german.time, ":");
  const DateTimeSeparators dutch = SeparatorsOf(QLocale(QLocale::Dutch, QLocale::Netherlands));
  EXPECT_EQ(dutch.date, "-");
  const DateTimeSeparators finnish = SeparatorsOf(QLocale(QLocale::Finnish, QLocale::Finland));
  EXPECT_EQ(finnish.time, ".");
}

}  // namespace
}  // namespace kestrum
