// SPDX-License-Identifier: GPL-3.0-or-later
// Runs measured with the clock unset, re-dated: every read sees the new
// times, the stored ones stay the instrument's, so later downloads of the
// same memory still merge into the run.
#include <sqlite3.h>

#include "history_fixture.h"

namespace kestrum::testing {
namespace {

const DateTime kYear2000 = EncodeDate(2000, 1, 1) + EncodeTime(0, 5, 0, 0);
const DateTime kMarch = EncodeDate(2026, 3, 1) + EncodeTime(12, 0, 0, 0);
// The first sample of the year-2000 run, as the user tells it.
const DateTime kTold = EncodeDate(2026, 3, 2) + EncodeTime(14, 0, 0, 0);
constexpr double kSecond = 1.0 / 86400;

// start and first as the file holds them, read without the store.
std::pair<double, double> StoredStartAndFirst(const std::string& path, std::int64_t run) {
  sqlite3* db = nullptr;
  std::pair<double, double> out{-1, -1};
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT start, first FROM runs WHERE id = ?", -1, &select, nullptr);
    sqlite3_bind_int64(select, 1, run);
    if (sqlite3_step(select) == SQLITE_ROW) {
      out = {sqlite3_column_double(select, 0), sqlite3_column_double(select, 1)};
    }
    sqlite3_finalize(select);
  }
  sqlite3_close(db);
  return out;
}

TEST_F(HistoryFixture, RedateRefusesWhatItCannotMove) {
  auto store = OpenStore();
  ASSERT_TRUE(store);
  DecodedRun unstamped = HourlyRun(kYear2000 + 3, 4);
  for (HistorySample& s : unstamped.samples) s.time = 0;
  ASSERT_TRUE(
      Import(*store, "d0", FileOf({HourlyRun(kYear2000, 5), HourlyRun(kMarch, 5), unstamped})));
  const std::vector<HistoryRun> before = store->Runs().value();
  ASSERT_EQ(before.size(), 3u);
  const std::int64_t clockSet = before[2].id;
  const std::int64_t noSamples = before[1].id;
  ASSERT_TRUE(before[1].clockUnset);

  const struct {
    const char* name;
    std::int64_t run;
    std::string error;
  } cases[] = {
      {"the clock was set", clockSet, "run " + std::to_string(clockSet) + " cannot be re-dated"},
      {"no sample has a time", noSamples, "run " + std::to_string(noSamples) + " has no samples"},
      {"no such run", 999, "no run 999"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Result<> refused = store->Redate(c.run, kTold);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find(c.error), std::string::npos) << refused.error();
  }
  const std::int64_t unset = before[0].id;
  store.reset();
  HistoryOpenOptions readOnly;
  readOnly.readOnly = true;
  auto reader = HistoryStore::Open(path_, readOnly);
  ASSERT_TRUE(reader);
  EXPECT_FALSE(reader.value()->Redate(unset, kTold)) << "a read-only history";

  store = OpenStore();
  ASSERT_TRUE(store);
  const std::vector<HistoryRun> after = store->Runs().value();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].first, before[i].first) << i;
    EXPECT_FALSE(after[i].redated) << i;
  }
}

TEST_F(HistoryFixture, ARedatedRunReadsShiftedAndKeepsItsShiftWhenItGrows) {
  auto store = OpenStore();
  ASSERT_TRUE(store);
  ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kYear2000, 24), HourlyRun(kMarch, 48)})));
  const HistoryRun original = store->Runs().value()[0];
  ASSERT_TRUE(original.clockUnset);
  ASSERT_FALSE(original.overlaps);
  const auto stored = StoredStartAndFirst(path_, original.id);

  ASSERT_TRUE(store->Redate(original.id, kTold));
  // Now it lies within the March run: after it, and sharing its time.
  const std::vector<HistoryRun> runs = store->Runs().value();
  ASSERT_EQ(runs.size(), 2u);
  const HistoryRun& moved = runs[1];
  ASSERT_EQ(moved.id, original.id);
  EXPECT_TRUE(moved.redated);
  EXPECT_FALSE(moved.clockUnset);
  EXPECT_TRUE(moved.overlaps);
  EXPECT_TRUE(runs[0].overlaps);
  EXPECT_NEAR(moved.first, kTold, kSecond);
  EXPECT_NEAR(moved.last, kTold + 23 * kOneHour, kSecond);
  EXPECT_NEAR(moved.start, kTold - kOneHour, kSecond);
  EXPECT_NEAR(moved.timeShift, kTold - (kYear2000 + kOneHour), kSecond);
  const std::vector<HistorySample> samples = store->Samples(moved.id).value();
  ASSERT_EQ(samples.size(), 24u);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_NEAR(samples[i].time, kTold + static_cast<double>(i) * kOneHour, kSecond) << i;
  }
  EXPECT_EQ(StoredStartAndFirst(path_, moved.id), stored) << "the stored times are the original";

  // The next download of the same memory: the run grows and stays re-dated.
  const auto grown = Import(*store, "d1", FileOf({HourlyRun(kYear2000, 40)}));
  ASSERT_TRUE(grown) << grown.error();
  EXPECT_EQ(grown->grownRuns, 1);
  EXPECT_EQ(grown->newRuns, 0);
  const std::optional<HistoryRun> longer = store->FindRun(original.id).value();
  ASSERT_TRUE(longer);
  EXPECT_EQ(longer->samples, 40);
  EXPECT_EQ(longer->downloads, 2);
  EXPECT_NEAR(longer->last, kTold + 39 * kOneHour, kSecond);
  EXPECT_NEAR(store->Samples(original.id).value().back().time, kTold + 39 * kOneHour, kSecond);

  // Again, from the original times, not the shifted ones; then undone.
  const DateTime later = kTold + 30;
  ASSERT_TRUE(store->Redate(original.id, later));
  EXPECT_NEAR(store->FindRun(original.id).value()->first, later, kSecond);
  ASSERT_TRUE(store->Redate(original.id, original.first));
  const std::optional<HistoryRun> undone = store->FindRun(original.id).value();
  EXPECT_FALSE(undone->redated);
  EXPECT_EQ(undone->timeShift, 0);
  EXPECT_TRUE(undone->clockUnset);
  EXPECT_EQ(undone->first, original.first);
  EXPECT_EQ(store->Samples(original.id).value().front().time, original.first);
}

}  // namespace
}  // namespace kestrum::testing
