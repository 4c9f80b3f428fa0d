// SPDX-License-Identifier: GPL-3.0-or-later
// Runs merged across downloads: what the history holds after a sequence of
// downloads, compared with what each download held.
#include <filesystem>
#include <map>

#include "history_fixture.h"

namespace kestrum::testing {
namespace {

const DateTime kMarch = EncodeDate(2026, 3, 1) + EncodeTime(12, 0, 0, 0);
const DateTime kApril = EncodeDate(2026, 4, 1) + EncodeTime(9, 0, 0, 0);

DecodedRun Changed(DecodedRun run, int index) {
  run.samples[static_cast<std::size_t>(index)].pulses += 1;
  run.samples[static_cast<std::size_t>(index)].concentration += 6;
  return run;
}

struct MergeCase {
  const char* name;
  std::vector<DecodedFile> downloads;  // imported in this order, as d0, d1, ...
  // Expected runs, oldest first: samples, downloads, conflict.
  std::vector<std::tuple<int, int, bool>> runs;
};

TEST_F(HistoryFixture, DownloadsMergeIntoRunsWithoutMixingVersions) {
  const std::vector<MergeCase> cases = {
      {"a run still recording grows",
       {FileOf({HourlyRun(kMarch, 24)}), FileOf({HourlyRun(kMarch, 60)})},
       {{60, 2, false}}},
      {"a shorter, older download of a known run changes nothing",
       {FileOf({HourlyRun(kMarch, 60)}), FileOf({HourlyRun(kMarch, 24)})},
       {{60, 2, false}}},
      {"a new run beside a known one",
       {FileOf({HourlyRun(kMarch, 24)}), FileOf({HourlyRun(kMarch, 24), HourlyRun(kApril, 5)})},
       {{24, 2, false}, {5, 1, false}}},
      {"after an erase the old run stays",
       {FileOf({HourlyRun(kMarch, 24)}), FileOf({HourlyRun(kApril, 10)})},
       {{24, 1, false}, {10, 1, false}}},
      {"a disagreeing sample makes a conflict, both kept",
       {FileOf({HourlyRun(kMarch, 24)}), FileOf({Changed(HourlyRun(kMarch, 30), 7)})},
       {{24, 1, true}, {30, 1, true}}},
      {"a longer download that disagrees with a shorter known one",
       {FileOf({HourlyRun(kMarch, 30)}), FileOf({Changed(HourlyRun(kMarch, 20), 19)})},
       {{30, 1, true}, {20, 1, true}}},
      {"one run in three downloads",
       {FileOf({HourlyRun(kMarch, 10)}), FileOf({HourlyRun(kMarch, 20)}),
        FileOf({HourlyRun(kMarch, 30), HourlyRun(kApril, 3)})},
       {{30, 3, false}, {3, 1, false}}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* end : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path_ + end);
    auto store = OpenStore();
    ASSERT_TRUE(store);
    std::size_t longest = 0;
    for (std::size_t d = 0; d < c.downloads.size(); ++d) {
      const auto imported = Import(*store, "d" + std::to_string(d), c.downloads[d]);
      ASSERT_TRUE(imported) << imported.error();
      longest = std::max(longest, c.downloads[d].runs[0].samples.size());
    }
    const std::vector<HistoryRun> runs = store->Runs("K8-FT1").value();
    ASSERT_EQ(runs.size(), c.runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i].samples, std::get<0>(c.runs[i])) << "run " << i;
      EXPECT_EQ(runs[i].downloads, std::get<1>(c.runs[i])) << "run " << i;
      EXPECT_EQ(runs[i].conflict, std::get<2>(c.runs[i])) << "run " << i;
      // What is stored is exactly what a download held, sample for sample.
      const std::vector<HistorySample> stored = store->Samples(runs[i].id).value();
      ASSERT_EQ(static_cast<int>(stored.size()), runs[i].samples);
      bool matchesADownload = false;
      for (const DecodedFile& file : c.downloads) {
        for (const DecodedRun& run : file.runs) {
          if (run.samples.size() != stored.size()) continue;
          bool same = true;
          for (std::size_t k = 0; k < stored.size(); ++k) {
            same = same && SameSample(run.samples[k], stored[k]);
          }
          matchesADownload = matchesADownload || same;
        }
      }
      EXPECT_TRUE(matchesADownload) << "run " << i << " mixes versions";
      EXPECT_EQ(runs[i].first, stored.front().time);
      EXPECT_EQ(runs[i].last, stored.back().time);
    }
  }
}

TEST_F(HistoryFixture, TheSameDownloadTwiceChangesNothing) {
  auto store = OpenStore();
  ASSERT_TRUE(store);
  const DecodedFile file = FileOf({HourlyRun(kMarch, 24), HourlyRun(kApril, 48)});
  ASSERT_TRUE(Import(*store, "d0", file));
  const auto again = Import(*store, "d0", file);
  ASSERT_TRUE(again) << again.error();
  EXPECT_TRUE(again->alreadyKnown);
  // The same bytes under another name: still nothing new, but the name is known.
  const auto copy = store->Import({"K8-FT1", folder_ + "/copy.Rn", "hash-d0", 0, false}, file);
  ASSERT_TRUE(copy);
  EXPECT_TRUE(copy->alreadyKnown);
  EXPECT_TRUE(store->KnowsPath(folder_ + "/copy.Rn").value());
  const auto runs = store->Runs().value();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].downloads, 1);
  EXPECT_EQ(runs[1].samples, 48);
}

TEST_F(HistoryFixture, RunsAreMarkedForOverlapAndUnsetClock) {
  auto store = OpenStore();
  ASSERT_TRUE(store);
  const DateTime year2000 = EncodeDate(2000, 1, 1);
  ASSERT_TRUE(Import(*store, "d0",
                     FileOf({HourlyRun(year2000, 5), HourlyRun(kMarch, 48),
                             HourlyRun(kMarch + 1, 10), HourlyRun(kApril, 3)})));
  const auto runs = store->Runs().value();
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_TRUE(runs[0].clockUnset);
  EXPECT_FALSE(runs[1].clockUnset);
  EXPECT_TRUE(runs[1].overlaps);
  EXPECT_TRUE(runs[2].overlaps);
  EXPECT_FALSE(runs[3].overlaps);
  EXPECT_FALSE(runs[0].overlaps);
}

TEST_F(HistoryFixture, AnInstrumentNameKeepsItsModel) {
  auto store = OpenStore();
  ASSERT_TRUE(store);
  ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kMarch, 5)}), "Cellar"));
  DecodedFile k5 = FileOf({HourlyRun(kApril, 5)});
  k5.model = InstrumentModel::K5;
  const auto refused = Import(*store, "d1", k5, "Cellar");
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().find("is a K8"), std::string::npos) << refused.error();
  EXPECT_EQ(store->Runs().value().size(), 1u);
  EXPECT_FALSE(store->KnowsContent("hash-d1").value());
}

}  // namespace
}  // namespace kestrum::testing
