// SPDX-License-Identifier: GPL-3.0-or-later
// What the history window's summary says, composed without the window.
#include <gtest/gtest.h>

#include "app/history_summary.h"
#include "records/date_time.h"

namespace {

using kestrum::HourlySample;

std::vector<HourlySample> Hours(kestrum::DateTime start, int count, double bqm3) {
  std::vector<HourlySample> samples;
  for (int i = 0; i < count; ++i) {
    samples.push_back({start + (i + 1) / 24.0, bqm3, 10, bqm3 / 6, 20, 50, 100});
  }
  return samples;
}

TEST(HistorySummary, EachSiteIsJudgedApartAndOnlyASingleSiteGetsItsNeighbours) {
  const kestrum::DateTime march = kestrum::EncodeDate(2026, 3, 1);
  const auto cellar = Hours(march, 96, 300);
  const auto attic = Hours(march + 10, 96, 40);
  const auto excluded = Hours(march + 20, 24, 900);
  std::vector<kestrum::RunHours> runs = {{1, march, "Cellar", false, false, false, &cellar},
                                         {2, march + 10, "Attic", false, false, false, &attic},
                                         {3, march + 20, "Attic", true, false, false, &excluded}};
  int neighbourCalls = 0;
  HistorySummaryInput input;
  input.hours = runs;
  input.from = march;
  input.to = march + 30;
  input.collocated = [&](const kestrum::SiteHours&) {
    ++neighbourCalls;
    return std::vector<kestrum::CollocatedInstrument>{{"K8-B200", {}}};
  };

  const HistorySummaryView both = ComposeHistorySummary(input);
  ASSERT_EQ(both.sites.size(), 2u);
  EXPECT_NE(both.sites[0].summary.highest, both.sites[1].summary.highest);
  EXPECT_TRUE(both.page.plain.contains("24 hours of excluded runs"))
      << both.page.plain.toStdString();
  EXPECT_EQ(neighbourCalls, 0);
  EXPECT_FALSE(both.page.plain.contains("K8-B200"));

  input.hours.resize(1);
  const HistorySummaryView one = ComposeHistorySummary(input);
  ASSERT_EQ(one.sites.size(), 1u);
  EXPECT_EQ(one.sites[0].summary.samples, 96);
  EXPECT_EQ(neighbourCalls, 1);
  EXPECT_TRUE(one.page.plain.contains("K8-B200")) << one.page.plain.toStdString();
}

}  // namespace
