// SPDX-License-Identifier: GPL-3.0-or-later
// A store written by the first version of the schema: read as it is when it
// may only be read, brought up to date when it is opened for writing.
#include <sqlite3.h>

#include "history_fixture.h"

namespace kestrum::testing {
namespace {

// The schema of version 1, as that version wrote it, with one instrument,
// one run from the year 2000 with a site and a note, and its two samples.
constexpr char kVersion1Store[] = R"sql(
CREATE TABLE instruments(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  model TEXT NOT NULL,
  calibration REAL NOT NULL DEFAULT 6.0);
CREATE TABLE downloads(
  id INTEGER PRIMARY KEY,
  instrument_id INTEGER NOT NULL REFERENCES instruments(id),
  path TEXT NOT NULL,
  content_hash TEXT NOT NULL UNIQUE,
  taken_at REAL NOT NULL,
  kept INTEGER NOT NULL);
CREATE TABLE download_files(
  path TEXT PRIMARY KEY,
  download_id INTEGER NOT NULL REFERENCES downloads(id)) WITHOUT ROWID;
CREATE TABLE runs(
  id INTEGER PRIMARY KEY,
  instrument_id INTEGER NOT NULL REFERENCES instruments(id),
  start_minute INTEGER NOT NULL,
  start REAL NOT NULL,
  sample_count INTEGER NOT NULL,
  first REAL NOT NULL,
  last REAL NOT NULL,
  digest INTEGER NOT NULL,
  conflict INTEGER NOT NULL DEFAULT 0,
  site TEXT NOT NULL DEFAULT '',
  note TEXT NOT NULL DEFAULT '',
  excluded INTEGER NOT NULL DEFAULT 0);
CREATE INDEX runs_by_start ON runs(instrument_id, start_minute);
CREATE TABLE run_downloads(
  run_id INTEGER NOT NULL REFERENCES runs(id),
  download_id INTEGER NOT NULL REFERENCES downloads(id),
  PRIMARY KEY(run_id, download_id)) WITHOUT ROWID;
CREATE TABLE samples(
  run_id INTEGER NOT NULL REFERENCES runs(id),
  idx INTEGER NOT NULL,
  time REAL NOT NULL,
  concentration REAL NOT NULL,
  error REAL NOT NULL,
  pulses REAL NOT NULL,
  temperature REAL NOT NULL,
  humidity REAL NOT NULL,
  pressure REAL NOT NULL,
  PRIMARY KEY(run_id, idx)) WITHOUT ROWID;
CREATE TABLE activity(
  id INTEGER PRIMARY KEY,
  at REAL NOT NULL,
  kind TEXT NOT NULL,
  instrument TEXT NOT NULL,
  text TEXT NOT NULL);
INSERT INTO instruments VALUES(1, 'K7-OLD', 'K7', 6.5);
INSERT INTO downloads VALUES(1, 1, '/kept/K7-OLD.Rn', 'old-hash', 45000, 1);
INSERT INTO download_files VALUES('/kept/K7-OLD.Rn', 1);
INSERT INTO runs VALUES(7, 1, 52597440, 36526.0, 2, 36526.5, 36526.541666666664, 1, 0,
                        'Cellar', 'before the works', 0);
INSERT INTO run_downloads VALUES(7, 1);
INSERT INTO samples VALUES(7, 0, 36526.5, 120, 12, 20, 19.5, 45, 99.1);
INSERT INTO samples VALUES(7, 1, 36526.541666666664, 180, 15, 30, 19.6, 46, 99.2);
PRAGMA user_version = 1;
)sql";

int StoredVersion(const std::string& path) {
  sqlite3* db = nullptr;
  int version = -1;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &select, nullptr);
    if (sqlite3_step(select) == SQLITE_ROW) version = sqlite3_column_int(select, 0);
    sqlite3_finalize(select);
  }
  sqlite3_close(db);
  return version;
}

TEST_F(HistoryFixture, AVersion1StoreIsReadAsItIsAndMigratedWhenWritten) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, kVersion1Store, nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);

  // Opened both ways, the store holds what version 1 wrote.
  for (const bool readOnly : {true, false}) {
    SCOPED_TRACE(readOnly ? "read-only" : "writable");
    HistoryOpenOptions options;
    options.readOnly = readOnly;
    auto opened = HistoryStore::Open(path_, options);
    ASSERT_TRUE(opened) << opened.error();
    HistoryStore& store = *opened.value();
    EXPECT_EQ(StoredVersion(path_), readOnly ? 1 : kHistorySchemaVersion);

    const std::vector<HistoryRun> runs = store.Runs().value();
    ASSERT_EQ(runs.size(), 1u);
    const HistoryRun& run = runs[0];
    EXPECT_EQ(run.id, 7);
    EXPECT_EQ(run.instrument, "K7-OLD");
    EXPECT_EQ(run.site, "Cellar");
    EXPECT_EQ(run.note, "before the works");
    EXPECT_EQ(run.samples, 2);
    EXPECT_EQ(run.downloads, 1);
    EXPECT_EQ(run.first, 36526.5);
    EXPECT_TRUE(run.clockUnset);
    EXPECT_FALSE(run.redated);
    const std::vector<HistorySample> samples = store.Samples(7).value();
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[1].time, 36526.541666666664);
    EXPECT_EQ(samples[1].concentration, 180);
    const std::optional<HistoryInstrument> instrument = store.FindInstrument("K7-OLD").value();
    ASSERT_TRUE(instrument);
    EXPECT_EQ(instrument->calibrationFactor, 6.5);
    EXPECT_FALSE(instrument->calibrationUncertainty);
    EXPECT_EQ(static_cast<bool>(store.SetCalibrationUncertainty("K7-OLD", 10.0)), !readOnly);
  }

  // What version 2 added is kept.
  auto store = OpenStore();
  ASSERT_TRUE(store);
  const DateTime told = EncodeDate(2025, 11, 3) + EncodeTime(9, 0, 0, 0);
  ASSERT_TRUE(store->Redate(7, told));
  store.reset();
  store = OpenStore();
  ASSERT_TRUE(store);
  EXPECT_EQ(store->FindInstrument("K7-OLD").value()->calibrationUncertainty, 10.0);
  EXPECT_NEAR(store->FindRun(7).value()->first, told, 1e-6);
  EXPECT_EQ(store->FindRun(7).value()->site, "Cellar");
}

}  // namespace
}  // namespace kestrum::testing
