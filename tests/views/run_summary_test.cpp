// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/run_summary.h"

#include <gtest/gtest.h>

#include "assessment/reference_levels.h"
#include "records/date_time.h"
#include "views/footer_in_units.h"
#include "views/radon_units.h"
#include "views/sample_reading.h"
#include "views/store_builder.h"
#include "views/summary_text.h"

namespace kestrum {
namespace {

using testing::AddRunOfConcentrations;
using testing::kDay;
using testing::kHour;
using testing::MakeStore;

TEST(RunSummary, DaysFollowTheHourEachSampleCoversAcrossMidnightAndMonthEnd) {
  auto store = MakeStore();
  // Stamped 31 March 22:00, 23:00, 1 April 00:00, 01:00, 02:00.
  const int run =
      AddRunOfConcentrations(*store, EncodeDate(2023, 3, 31) + 21 * kHour, {10, 20, 30, 40, 50});
  const RunSummary s = SummariseRun(*store, run, 0, 1e9, {});
  ASSERT_EQ(s.days.size(), 2u);
  // The 00:00 sample measured 23:00-24:00 of 31 March.
  EXPECT_EQ((std::vector<int>{s.days[0].year, s.days[0].month, s.days[0].day, s.days[0].count}),
            (std::vector<int>{2023, 3, 31, 3}));
  EXPECT_DOUBLE_EQ(s.days[0].mean, 20);
  EXPECT_EQ((std::vector<int>{s.days[1].month, s.days[1].day, s.days[1].count}),
            (std::vector<int>{4, 1, 2}));
  EXPECT_DOUBLE_EQ(s.days[1].mean, 45);
  EXPECT_EQ(s.samples, 5);
  EXPECT_DOUBLE_EQ(CoveredHours(s), 5);
  EXPECT_DOUBLE_EQ(s.highest, 50);
  EXPECT_DOUBLE_EQ(s.highestAt, EncodeDate(2023, 4, 1) + 2 * kHour);
  EXPECT_DOUBLE_EQ(s.lowest, 10);
  EXPECT_DOUBLE_EQ(s.lowestAt, EncodeDate(2023, 3, 31) + 22 * kHour);
}

TEST(RunSummary, RangeIsInclusiveAndOtherRunsStayOut) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay - 1, {500, 500});
  const int run = AddRunOfConcentrations(*store, kDay, {10, 20, 30, 40});
  const RunSummary s = SummariseRun(*store, run, kDay + 2 * kHour, kDay + 3 * kHour, {});
  EXPECT_EQ(s.samples, 2);
  EXPECT_DOUBLE_EQ(s.first, kDay + 2 * kHour);
  EXPECT_DOUBLE_EQ(s.last, kDay + 3 * kHour);
  EXPECT_EQ(s.level.level, 25);
}

TEST(RunSummary, RangeWithoutSampleSaysSo) {
  auto store = MakeStore();
  const int run = AddRunOfConcentrations(*store, kDay, {10, 20});
  const RunSummary s = SummariseRun(*store, run, kDay + 1.2 * kHour, kDay + 1.8 * kHour, {100});
  EXPECT_EQ(s.samples, 0);
  EXPECT_TRUE(s.days.empty());
  EXPECT_EQ(s.judgements[0].hoursAbove, 0);
}

TEST(RunSummary, VerdictsAtTheirBoundaries) {
  auto store = MakeStore(6.0L);
  // 100 hours of 600 Bq/m3: 10,000 pulses, R = 0.01 raised to 0.1, so the
  // mean is 600 +- 60 and two uncertainties reach 480 .. 720.
  const int run = AddRunOfConcentrations(*store, kDay, std::vector<Extended>(100, 600));
  const RunSummary s = SummariseRun(*store, run, 0, 1e9, {479, 480, 599, 600, 720, 721});
  EXPECT_DOUBLE_EQ(static_cast<double>(s.level.mean), 600);
  EXPECT_DOUBLE_EQ(static_cast<double>(s.level.uncertainty), 60);
  const LevelVerdict expected[] = {LevelVerdict::Above,     LevelVerdict::Undecided,
                                   LevelVerdict::Undecided, LevelVerdict::Undecided,
                                   LevelVerdict::Undecided, LevelVerdict::Below};
  const int hoursAbove[] = {100, 100, 100, 0, 0, 0};
  for (std::size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(s.judgements[i].level);
    EXPECT_EQ(s.judgements[i].verdict, expected[i]);
    EXPECT_EQ(s.judgements[i].hoursAbove, hoursAbove[i]);
  }
  EXPECT_EQ(VerdictPhrase(LevelVerdict::Undecided), "cannot be told apart from");
}

// One hour above is "1 hour", never "1 hours".
TEST(RunSummary, VerdictSentencesCountHoursInWords) {
  auto store = MakeStore(6.0L);
  std::vector<Extended> levels(100, 50);
  levels[7] = 400;
  const int run = AddRunOfConcentrations(*store, kDay, levels);
  const QStringList sentences =
      VerdictSentences(SummariseRun(*store, run, 0, 1e9, {49, 300, 500}), RadonUnit::BqPerM3);
  ASSERT_EQ(sentences.size(), 3);
  EXPECT_TRUE(sentences[0].endsWith("(100 hours above).")) << sentences[0].toStdString();
  EXPECT_TRUE(sentences[1].endsWith("(1 hour above).")) << sentences[1].toStdString();
  EXPECT_TRUE(sentences[2].endsWith("(0 hours above).")) << sentences[2].toStdString();
}

TEST(RadonUnits, PicocuriesPerLitreAreThirtySevenBecquerelsPerCubicMetre) {
  EXPECT_DOUBLE_EQ(InRadonUnit(148, RadonUnit::PciPerL), 4);
  EXPECT_DOUBLE_EQ(InRadonUnit(148, RadonUnit::BqPerM3), 148);
  EXPECT_DOUBLE_EQ(FromRadonUnit(4, RadonUnit::PciPerL), 148);
  EXPECT_EQ(RadonValueText(100, RadonUnit::PciPerL), "2.70 pCi/L");
  EXPECT_EQ(RadonValueText(100.4, RadonUnit::BqPerM3), "100 Bq/m3");
}

TEST(RadonUnits, FooterKeepsItsBecquerelFormAndAddsPicocuriesOnlyWhenChosen) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay, {60, 60});  // 20 pulses: R = 0.2236
  const DateTime from = kDay + kHour;
  const DateTime to = kDay + 2 * kHour;
  const QString bq = FooterLineInUnit(*store, from, to, DateTimeFormats{}, RadonUnit::BqPerM3);
  EXPECT_TRUE(bq.endsWith(QStringLiteral("Radonlevel :60") + QChar(0x00B1) + "13"));
  // 60 / 37 = 1.62, 13.42 / 37 = 0.36.
  EXPECT_EQ(FooterLineInUnit(*store, from, to, DateTimeFormats{}, RadonUnit::PciPerL),
            bq + " (1.62" + QChar(0x00B1) + "0.36 pCi/L)");
  EXPECT_EQ(FooterLineInUnit(*store, 0, to, DateTimeFormats{}, RadonUnit::PciPerL), QString());
}

TEST(SampleReading, NearestSampleOfTheRunInTime) {
  auto store = MakeStore();
  AddRunOfConcentrations(*store, kDay - 1, {999});
  const int run = AddRunOfConcentrations(*store, kDay, {10, 20, 30});  // indices 1 .. 3
  EXPECT_EQ(NearestSample(*store, run, kDay + 1.4 * kHour), 1);
  EXPECT_EQ(NearestSample(*store, run, kDay + 1.6 * kHour), 2);
  EXPECT_EQ(NearestSample(*store, run, kDay - 5), 1);  // the other run's sample is not offered
  EXPECT_EQ(NearestSample(*store, run, kDay + 9), 3);
  ModelChannels channels;
  channels.temperature = true;
  // 148 Bq/m3 with error 37: 4.00 +- 1.00 pCi/L; temperature 20 of the builder.
  SampleRecord sample = store->Samples[1];
  sample.Concentration = 148;
  sample.Error = 37;
  EXPECT_EQ(SampleReadingText(sample, channels, RadonUnit::PciPerL),
            "2023-03-15 01:00\n4.00 \u00b1 1.00 pCi/L\nT 20.0 \u00b0C");
}

TEST(ReferenceLevels, ListsOfPositiveNumbersOnly) {
  EXPECT_EQ(ParseLevelList("100,148.5,300"), (std::vector<double>{100, 148.5, 300}));
  for (const char* bad : {"", "100,", ",100", "100;148", "-5", "0", "1e999", "abc"}) {
    EXPECT_FALSE(ParseLevelList(bad)) << bad;
  }
}

}  // namespace
}  // namespace kestrum
