// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/footer_line.h"

#include <gtest/gtest.h>

#include "views/model_channels.h"
#include "views/radon_level.h"
#include "views/store_builder.h"

namespace kestrum {
namespace {

using testing::AddRun;
using testing::AddRunOfConcentrations;
using testing::kDay;
using testing::kHour;
using testing::MakeStore;

const QString kPlusMinus = QString(QChar(0x00B1));

TEST(RadonLevel, LevelIsTheMeanOfTheVisibleSamples) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay, std::vector<Extended>(49, 100));
  const RadonLevel r = ComputeRadonLevel(*store, kDay + kHour, kDay + 49 * kHour);
  EXPECT_EQ(r.count, 49);
  EXPECT_EQ(r.sum, 4900);
  EXPECT_EQ(r.level, 100);  // not 4900 / 48 = 102
  // 4900 / 6 = 816.7 pulses: 3.5 per cent, raised to the 10 per cent floor.
  EXPECT_EQ(r.relativeError, 0.1L);
  EXPECT_EQ(r.error, 10);
}

TEST(RadonLevel, TwoSamplesOfOneHundredReadOneHundred) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay, {100, 100});
  EXPECT_EQ(ComputeRadonLevel(*store, kDay, kDay + 1).level, 100);
}

TEST(RadonLevel, FewPulsesGiveTheirOwnRelativeError) {
  auto store = MakeStore(6.0L);
  AddRunOfConcentrations(*store, kDay, {60});  // 10 pulses
  const RadonLevel r = ComputeRadonLevel(*store, kDay, kDay + 1);
  EXPECT_NEAR(static_cast<double>(r.relativeError), 0.3162, 1e-4);
  EXPECT_EQ(r.level, 60);
  EXPECT_EQ(r.error, 18);  // 60 x 0.316 = 18.97
}

TEST(RadonLevel, RangeBoundsAreInclusiveAndCoverEveryRun) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay, {10, 20, 30});
  AddRunOfConcentrations(*store, kDay + 1, {70});
  // Exactly the second and third sample of run 0 and the sample of run 1.
  const RadonLevel r = ComputeRadonLevel(*store, kDay + 2 * kHour, kDay + 1 + kHour);
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.level, 40);
}

TEST(RadonLevel, OneSampleInRangeGivesItsTruncatedConcentration) {
  auto store = MakeStore(6.25L);
  AddRun(*store, kDay, {3, 19, 5});  // 18.75, 118.75, 31.25
  const RadonLevel r = ComputeRadonLevel(*store, kDay + 1.5 * kHour, kDay + 2.5 * kHour);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.level, 118);
  // 19 pulses: R = 0.2294, error 118.75 x R = 27.24.
  EXPECT_EQ(r.error, 27);
}

TEST(RadonLevel, RangeBetweenTwoSamplesIsLevelZero) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay, {10, 20});
  const RadonLevel r = ComputeRadonLevel(*store, kDay + 1.2 * kHour, kDay + 1.8 * kHour);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.level, 0);
  EXPECT_EQ(r.error, 0);
}

TEST(FooterLine, WritesRangeAndLevel) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay, {60, 60});
  const QString line = FooterLine(*store, kDay + kHour, kDay + 2 * kHour, DateTimeFormats{});
  // 120 Bq/m3 are 20 pulses: R = 0.2236, error 60 x R = 13.4.
  EXPECT_EQ(line, QStringLiteral("StartTime: 15/03/2023 01:00:00, EndTime: 15/03/2023 02:00:00 "
                                 "Radonlevel :60") +
                      kPlusMinus + QStringLiteral("13"));
}

TEST(FooterLine, LeavesOutTheTimeAtMidnight) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay, std::vector<Extended>(24, 100));
  DateTimeFormats formats{QLocale::c(), QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH.mm")};
  // 24 x 1/24 is not exactly 1 in binary; still midnight.
  const QString line = FooterLine(*store, kDay + 14.5 * kHour, kDay + 24 * kHour, formats);
  EXPECT_EQ(line, QStringLiteral("StartTime: 2023-03-15 14.30, EndTime: 2023-03-16 "
                                 "Radonlevel :100") +
                      kPlusMinus + QStringLiteral("10"));
}

TEST(FooterLine, EmptyWhenTheAxisStartsAtZero) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay, {100});
  EXPECT_TRUE(FooterLine(*store, 0, kDay + 1, DateTimeFormats{}).isEmpty());
}

TEST(DateTimeText, TimeZoneFieldsAreDroppedFromTheTimeFormat) {
  EXPECT_EQ(WithoutTimeZone(QStringLiteral("h:mm:ss AP t")), QStringLiteral("h:mm:ss AP"));
  EXPECT_EQ(WithoutTimeZone(QStringLiteral("HH:mm:ss t")), QStringLiteral("HH:mm:ss"));
  EXPECT_EQ(WithoutTimeZone(QStringLiteral("HH 'at' mm")), QStringLiteral("HH 'at' mm"));
  EXPECT_FALSE(SystemDateTimeFormats().longTime.contains(QLatin1Char('t')));
}

TEST(DateTimeText, SplitsDaysSince1899) {
  EXPECT_EQ(DateOf(2.0), QDate(1900, 1, 1));
  EXPECT_EQ(DateOf(kDay + 23 * kHour), QDate(2023, 3, 15));
  EXPECT_EQ(TimeOf(kDay + 23 * kHour), QTime(23, 0));
}

TEST(ModelChannels, EachModelHasItsSensors) {
  EXPECT_FALSE(ChannelsOf(InstrumentModel::K5).temperature);
  EXPECT_FALSE(ChannelsOf(InstrumentModel::K5).humidity);
  EXPECT_FALSE(ChannelsOf(InstrumentModel::K5).pressure);
  EXPECT_TRUE(ChannelsOf(InstrumentModel::K6).temperature);
  EXPECT_TRUE(ChannelsOf(InstrumentModel::K6).humidity);
  EXPECT_FALSE(ChannelsOf(InstrumentModel::K6).pressure);
  EXPECT_TRUE(ChannelsOf(InstrumentModel::K7).pressure);
  EXPECT_TRUE(ChannelsOf(InstrumentModel::K8).pressure);
}

}  // namespace
}  // namespace kestrum
