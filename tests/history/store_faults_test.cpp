// SPDX-License-Identifier: GPL-3.0-or-later
// What becomes of the history when its file is held, damaged, newer, not a
// file at all, or when an import is cut off by a kill or a full disk.
#include <signal.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "file_faults.h"
#include "history/history_hours.h"
#include "history_fixture.h"

namespace kestrum::testing {
namespace {

const DateTime kMarch = EncodeDate(2026, 3, 1) + EncodeTime(12, 0, 0, 0);

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SetUserVersion(const std::string& path, int version) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  const std::string sql = "PRAGMA user_version = " + std::to_string(version);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

TEST_F(HistoryFixture, ADamagedStoreIsMovedAsideAndANewOneMade) {
  const std::string garbage(5000, '\x5a');
  std::ofstream(path_, std::ios::binary) << garbage;
  auto store = OpenStore();
  ASSERT_TRUE(store);
  EXPECT_TRUE(store->NeedsRebuild());
  EXPECT_FALSE(store->ReadOnly());
  EXPECT_NE(store->Notice().value_or("").find("The history was damaged (file is not a database)"),
            std::string::npos)
      << store->Notice().value_or("");
  const std::string aside = path_ + ".broken-20261208-140500";
  EXPECT_EQ(ReadAll(aside), garbage) << "the damaged file must be kept as it was";
  EXPECT_NE(store->Notice().value_or("").find(aside), std::string::npos)
      << store->Notice().value_or("");
  ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kMarch, 5)})));
  EXPECT_EQ(store->Runs().value().size(), 1u);
}

TEST_F(HistoryFixture, ANewerStoreIsOnlyRead) {
  {
    auto store = OpenStore();
    ASSERT_TRUE(store);
    ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kMarch, 5)})));
  }
  SetUserVersion(path_, kHistorySchemaVersion + 1);
  auto store = OpenStore();
  ASSERT_TRUE(store);
  EXPECT_TRUE(store->ReadOnly());
  EXPECT_NE(store->Notice().value_or("").find("newer version"), std::string::npos);
  EXPECT_EQ(store->Runs().value().size(), 1u);
  const std::int64_t run = store->Runs().value()[0].id;
  EXPECT_FALSE(store->SetSite(run, "Basement"));
  EXPECT_FALSE(Import(*store, "d1", FileOf({HourlyRun(kMarch + 40, 5)})));
  EXPECT_EQ(store->Runs().value().size(), 1u);
}

TEST_F(HistoryFixture, WhatIsNoRegularFileIsNotOpened) {
  ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
  HistoryOpenOptions options;
  const auto fifo = HistoryStore::Open(path_, options);  // must not hang
  ASSERT_FALSE(fifo);
  EXPECT_NE(fifo.error().find("not a regular file"), std::string::npos);
  ::unlink(path_.c_str());
  ASSERT_EQ(::symlink("/dev/null", path_.c_str()), 0);
  EXPECT_FALSE(HistoryStore::Open(path_, options));
}

TEST_F(HistoryFixture, AStoreHeldByAnotherProgramIsShownReadOnly) {
  {
    auto store = OpenStore();
    ASSERT_TRUE(store);
    ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kMarch, 5)})));
  }
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    (void)!::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char byte;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  auto store = OpenStore(200);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ASSERT_TRUE(store);
  EXPECT_TRUE(store->ReadOnly());
  EXPECT_NE(store->Notice().value_or("").find("in use by another Kestrum program"),
            std::string::npos);
  EXPECT_EQ(store->Runs().value().size(), 1u) << "the history can still be read";
}

TEST_F(HistoryFixture, AnImportKilledHalfwayLeavesTheStoreAsBefore) {
  {
    auto store = OpenStore();
    ASSERT_TRUE(store);
    ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kMarch, 5)})));
  }
  const DecodedFile file = FileOf({HourlyRun(kMarch, 30), HourlyRun(kMarch + 10, 40)});
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto store = OpenStore();
    int runs = 0;
    // Killed once the first run is written and the second not yet.
    store->SetImportStepHook([&runs] {
      if (++runs == 1) ::kill(::getpid(), SIGKILL);
    });
    (void)Import(*store, "d1", file);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  auto store = OpenStore();
  ASSERT_TRUE(store);
  auto runs = store->Runs().value();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].samples, 5);
  EXPECT_FALSE(store->KnowsContent("hash-d1").value());
  // The next start takes what is missing.
  ASSERT_TRUE(Import(*store, "d1", file));
  runs = store->Runs().value();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].samples, 30);
}

// Pages spoilt behind the open store's back: each read says so instead of
// handing back the rows before the damage as if they were all.
TEST_F(HistoryFixture, AReadThatFailsHalfwaySaysSo) {
  auto store = OpenStore();
  ASSERT_TRUE(store);
  ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kMarch, 20000)})));
  const std::int64_t run = store->Runs().value()[0].id;
  SpoilStorePages(path_);
  store->ReleaseMemory();
  const Result<std::vector<HistorySample>> samples = store->Samples(run);
  ASSERT_FALSE(samples) << samples->size() << " of 20000 samples read as the whole run";
  EXPECT_EQ(samples.failure().kind, FailureKind::kStore);
  EXPECT_EQ(samples.error().rfind("cannot read the history: ", 0), 0u) << samples.error();
  const Result<std::vector<LoadedRun>> loaded = LoadInstrumentRuns(*store, "K8-FT1");
  EXPECT_FALSE(loaded) << "the window and the tool read the runs this way";
}

TEST_F(HistoryFixture, AFullDiskLeavesTheStoreAsBefore) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
  const std::string small = folder_ + "/small";
  std::filesystem::create_directory(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=192k") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  }
  path_ = small + "/history.sqlite";
  {
    auto store = OpenStore();
    ASSERT_TRUE(store);
    ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(kMarch, 5)})));
    const auto full = Import(*store, "d1", FileOf({HourlyRun(kMarch + 10, 20000)}));
    ASSERT_FALSE(full) << "20,000 samples do not fit 192 KiB";
    EXPECT_NE(full.error().find("full"), std::string::npos) << full.error();
    EXPECT_EQ(store->Runs().value().size(), 1u);
    // Where the copy of the user's words cannot be written, neither is the word.
    const Result<> noted = store->RecordActivity({kMarch, "import", "K8-FT1", "not kept"});
    ASSERT_FALSE(noted);
    EXPECT_NE(noted.error().find("No space left"), std::string::npos) << noted.error();
  }
  auto store = OpenStore();
  ASSERT_TRUE(store);
  EXPECT_EQ(store->Runs().value().size(), 1u);
  EXPECT_EQ(store->Samples(store->Runs().value()[0].id).value().size(), 5u);
  EXPECT_TRUE(store->LatestActivity(5).value().empty());
  store.reset();
  ::umount(small.c_str());
}

}  // namespace
}  // namespace kestrum::testing
