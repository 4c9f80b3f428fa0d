// SPDX-License-Identifier: GPL-3.0-or-later
// The history against what goes wrong with its file: damage, journals from
// elsewhere, odd files at the journals' names, read-only places, a full
// disk, programs racing to make it. Whatever happens, what only the user
// typed comes back, and a healthy store is never moved aside.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;

void Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

class HistoryRecoveryTest : public testing::ToolFixture {
 public:  // the cases below reach it through a reference
  using ToolFixture::Run;
  std::string Data() const { return folder_ + ".data"; }
  std::string Store() const { return Data() + "/history.sqlite"; }

  // A download, a file from elsewhere and every kind of word the user adds.
  void MakeHistory() {
    ASSERT_EQ(Run({"download", "--emulate", "K7", "--now", "2026-01-01T00:00:00", "a.Rn"}), 0)
        << err_.str();
    ASSERT_EQ(Run({"generate", "--model", "K5", "--runs", "1", "--hours", "30", "--start",
                   "2025-06-01T10:00", "loft.Rn"}),
              0);
    ASSERT_EQ(Run({"history", "import", "--instrument", "K5-LOFT", "loft.Rn"}), 0) << err_.str();
    for (std::vector<std::string> words : {
             std::vector<std::string>{"site", "1", "Basement"},
             {"note", "2", "radon fan on"},
             {"exclude", "3", "1"},
             {"site", "5", "Loft"},
             {"instrument", "K7-EMUK7001", "--calibration-uncertainty", "7"},
         }) {
      words.insert(words.begin(), "history");
      ASSERT_EQ(Run(words), 0) << err_.str();
    }
  }

  // Every word of MakeHistory, read back through the tool.
  void ExpectEverythingBack() {
    ASSERT_EQ(Run({"history", "runs"}), 0) << err_.str();
    const std::string runs = out_.str();
    EXPECT_NE(runs.find("run=1 instrument=K7-EMUK7001"), std::string::npos) << runs;
    EXPECT_NE(runs.find("site=Basement"), std::string::npos) << runs;
    EXPECT_NE(runs.find("site=Loft"), std::string::npos) << "a file from elsewhere comes back";
    EXPECT_NE(runs.find("excluded=1"), std::string::npos) << runs;
    ASSERT_EQ(Run({"history", "show", "2"}), 0);
    EXPECT_NE(out_.str().find("note=\"radon fan on\""), std::string::npos) << out_.str();
    ASSERT_EQ(Run({"history", "instrument", "K7-EMUK7001"}), 0);
    EXPECT_NE(out_.str().find("calibration_uncertainty_percent=7"), std::string::npos);
    ASSERT_EQ(Run({"history", "activity"}), 0);
    EXPECT_NE(out_.str().find("Downloaded 4 runs"), std::string::npos) << out_.str();
  }

  std::vector<std::string> Aside() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Data())) {
      const std::string name = entry.path().filename().string();
      if (name.find(".broken-") != std::string::npos) names.push_back(name);
    }
    return names;
  }

  // Writes to another database through a connection that stays open, and
  // copies its journal as it lies then: what a crash or a copy leaves.
  void JournalOf(const std::string& db, const char* mode, const std::string& copyTo,
                 const std::function<void(sqlite3*)>& write) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &other), SQLITE_OK);
    Exec(other, mode);
    write(other);
    const std::string journal =
        db + (std::string(mode).find("WAL") != std::string::npos ? "-wal" : "-journal");
    fs::copy_file(journal, copyTo, fs::copy_options::overwrite_existing);
    sqlite3_close(other);
  }
};

void FillTable(sqlite3* db) {
  Exec(db, "CREATE TABLE t(x); BEGIN");
  for (int i = 0; i < 200; ++i) Exec(db, "INSERT INTO t VALUES(printf('%.900c', 'y'))");
  Exec(db, "COMMIT");
}

TEST_F(HistoryRecoveryTest, DamageGoesAsideWithItsJournalsAndEveryWordComesBack) {
  const struct {
    const char* name;
    const char* journalAside;  // a journal that must go aside with the store, as it was
    std::function<void(HistoryRecoveryTest&)> damage;
  } cases[] = {
      {"a WAL of another database", "-wal",
       [](HistoryRecoveryTest& t) {
         t.JournalOf("other.db", "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0",
                     t.Store() + "-wal", FillTable);
       }},
      {"a hot journal of another database", "-journal",
       [](HistoryRecoveryTest& t) {
         t.JournalOf("other.db", "PRAGMA journal_mode=DELETE", t.Store() + "-journal",
                     [](sqlite3* db) {
                       FillTable(db);
                       Exec(db,
                            "PRAGMA cache_size=1; BEGIN; UPDATE t SET x = 'z';"
                            "INSERT INTO t SELECT x FROM t");
                     });
       }},
      {"an older store beside the newer WAL of the same store", "-wal",
       [](HistoryRecoveryTest& t) {
         fs::copy_file(t.Store(), "old.sqlite");
         for (const char* month : {"01", "02", "03"}) {
           ASSERT_EQ(
               t.Run({"generate", "--model", "K7", "--runs", "3", "--hours", "40", "--start",
                      std::string("2025-") + month + "-01T10:00", std::string(month) + ".Rn"}),
               0);
         }
         ASSERT_EQ(t.Run({"history", "import", "01.Rn"}), 0);
         // A program that keeps the store open keeps the next changes in the WAL.
         sqlite3* holder = nullptr;
         ASSERT_EQ(sqlite3_open(t.Store().c_str(), &holder), SQLITE_OK);
         Exec(holder, "SELECT count(*) FROM runs");
         ASSERT_EQ(t.Run({"history", "import", "02.Rn", "03.Rn"}), 0);
         fs::copy_file(t.Store() + "-wal", "newer.wal");
         sqlite3_close(holder);
         fs::copy_file("old.sqlite", t.Store(), fs::copy_options::overwrite_existing);
         fs::copy_file("newer.wal", t.Store() + "-wal", fs::copy_options::overwrite_existing);
         fs::remove(t.Store() + "-shm");
       }},
      {"a missing column", nullptr,
       [](HistoryRecoveryTest& t) {
         sqlite3* db = nullptr;
         ASSERT_EQ(sqlite3_open(t.Store().c_str(), &db), SQLITE_OK);
         Exec(db, "ALTER TABLE runs DROP COLUMN note");
         sqlite3_close(db);
       }},
      {"a missing table", nullptr,
       [](HistoryRecoveryTest& t) {
         sqlite3* db = nullptr;
         ASSERT_EQ(sqlite3_open(t.Store().c_str(), &db), SQLITE_OK);
         Exec(db, "DROP TABLE activity");
         sqlite3_close(db);
       }},
      {"a file that is no database", nullptr,
       [](HistoryRecoveryTest& t) {
         std::ofstream(t.Store(), std::ios::binary | std::ios::trunc) << std::string(9000, 'Z');
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    MakeHistory();
    std::string journal;
    c.damage(*this);
    if (c.journalAside) journal = ReadWholeFile(Store() + c.journalAside);

    ASSERT_EQ(Run({"history", "runs"}), 0) << err_.str();
    const std::string told = err_.str();
    EXPECT_NE(told.find("The history was damaged ("), std::string::npos) << told;
    EXPECT_NE(told.find("Restored from annotations.tsv: 2 sites, 1 note, 1 exclusion, "
                        "1 instrument entry"),
              std::string::npos)
        << told;
    EXPECT_EQ(told.find("Not restored"), std::string::npos) << told;
    const std::vector<std::string> aside = Aside();
    ASSERT_FALSE(aside.empty());
    if (c.journalAside) {
      const std::string suffix = c.journalAside;
      std::string kept;
      for (const std::string& name : aside) {
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
          kept = ReadWholeFile(Data() + "/" + name);
        }
      }
      EXPECT_EQ(kept, journal) << "the journal goes aside as it was, never replayed into the store";
    }
    ExpectEverythingBack();
  }
}

TEST_F(HistoryRecoveryTest, OddFilesAtTheJournalNamesRefuseTheOpenAndMoveNothing) {
  MakeHistory();
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    for (const char* kind : {"folder", "fifo", "link"}) {
      SCOPED_TRACE(std::string(kind) + " at " + suffix);
      const std::string odd = Store() + suffix;
      if (std::string(kind) == "folder") fs::create_directory(odd);
      if (std::string(kind) == "fifo") {
        ASSERT_EQ(::mkfifo(odd.c_str(), 0600), 0);
      }
      if (std::string(kind) == "link") fs::create_symlink("/dev/zero", odd);
      EXPECT_EQ(Run({"history", "runs"}), 2);
      EXPECT_NE(err_.str().find(odd + " is not a regular file"), std::string::npos) << err_.str();
      EXPECT_NE(err_.str().find("nothing was moved"), std::string::npos);
      EXPECT_TRUE(Aside().empty());
      fs::remove(odd);
    }
  }
  ExpectEverythingBack();
}

// Circumstances, not damage: the store stays where it is, the words in it.
TEST_F(HistoryRecoveryTest, ReadOnlyPlacesAndAFullDiskKeepTheStoreAsItIs) {
  const bool root = ::geteuid() == 0;
  const struct {
    const char* name;
    bool needsRoot;
    int runsExit;      // history runs
    const char* told;  // in what it says
    std::function<void(HistoryRecoveryTest&)> make, undo;
  } cases[] = {
      {"a read-only file", false, 0, "is read-only; the history is shown read-only",
       [](HistoryRecoveryTest& t) { ::chmod(t.Store().c_str(), 0444); },
       [](HistoryRecoveryTest& t) { ::chmod(t.Store().c_str(), 0644); }},
      {"a read-only mount", true, 0, "The folder of",
       [](HistoryRecoveryTest& t) {
         ASSERT_EQ(::mount(t.Data().c_str(), t.Data().c_str(), nullptr, MS_BIND, nullptr), 0);
         ASSERT_EQ(
             ::mount(nullptr, t.Data().c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr),
             0);
       },
       [](HistoryRecoveryTest& t) { ::umount(t.Data().c_str()); }},
      {"a full disk", true, 2, "(the disk that holds it is full); it is kept as it is",
       [](HistoryRecoveryTest& t) {
         std::ofstream fill(t.Data() + "/fill", std::ios::binary);
         const std::string block(1 << 16, '\0');
         while (fill.write(block.data(), block.size())) {
         }
       },
       [](HistoryRecoveryTest& t) { fs::remove(t.Data() + "/fill"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && !root) {
      std::cerr << "skipped (needs root to mount): " << c.name << "\n";
      continue;
    }
    TearDown();
    SetUp();
    // On a small disk of its own, so that it can be filled.
    fs::create_directory(Data());
    if (root && ::mount("tmpfs", Data().c_str(), "tmpfs", 0, "size=4m") != 0) {
      FAIL() << "cannot mount a tmpfs: " << std::strerror(errno);
    }
    MakeHistory();
    c.make(*this);
    EXPECT_EQ(Run({"history", "runs"}), c.runsExit) << err_.str();
    EXPECT_NE(err_.str().find(c.told), std::string::npos) << err_.str();
    EXPECT_EQ(Run({"history", "site", "1", "Cellar"}), 2);
    c.undo(*this);
    EXPECT_TRUE(Aside().empty());
    ExpectEverythingBack();
    if (root) ::umount2(Data().c_str(), MNT_DETACH);
  }
}

// Three programs making the history at once: all succeed, none sees another's half.
TEST_F(HistoryRecoveryTest, ProgramsRacingToMakeTheHistoryAllSucceed) {
  MakeHistory();
  for (int round = 0; round < 3; ++round) {
    fs::remove(Store());
    pid_t children[3];
    for (pid_t& child : children) {
      child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        std::ostringstream out, err;
        ToolIo io{out, err};
        ::_exit(RunTool({"history", "rebuild"}, io));
      }
    }
    for (pid_t child : children) {
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
    }
    ExpectEverythingBack();
  }
}

TEST_F(HistoryRecoveryTest, RunsDatedAfterTheDownloadAreKeptAndLeftOutUntilRedated) {
  // The PC's clock four days behind the instrument's.
  ASSERT_EQ(Run({"download", "--emulate", "K7", "--now", "2024-03-12T00:00:00", "a.Rn"}), 0);
  ASSERT_EQ(Run({"history", "runs"}), 0);
  const std::vector<std::string> runs = testing::SplitLines(out_.str());
  ASSERT_EQ(runs.size(), 4u) << "every run of the bytes is in the history";
  EXPECT_NE(runs[2].find("future=1"), std::string::npos) << runs[2];
  EXPECT_NE(runs[1].find("future=0"), std::string::npos) << runs[1];
  ASSERT_EQ(Run({"assess", "--instrument", "K7-EMUK7001"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("clock_unset_hours=192"), std::string::npos) << out_.str();
  ASSERT_EQ(Run({"history", "redate", "3", "--first", "2024-03-11T01:00"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("redated=1 future=0"), std::string::npos) << out_.str();
}

TEST_F(HistoryRecoveryTest, TextsAreDataWhereverTheyGo) {
  MakeHistory();
  ASSERT_EQ(Run({"history", "site", "1", std::string(201, 's')}), 2);
  EXPECT_NE(err_.str().find("a site is at most 200 characters; this one has 201"),
            std::string::npos);
  ASSERT_EQ(Run({"history", "note", "1", std::string(4001, 'n')}), 2);
  ASSERT_EQ(Run({"history", "site", "1", "--", "-1st floor"}), 0) << err_.str();
  ASSERT_EQ(Run({"history", "site", "1", "-1st floor"}), 2);
  EXPECT_NE(err_.str().find("unknown option \"-1st floor\""), std::string::npos) << err_.str();

  ASSERT_EQ(Run({"history", "site", "1", "bell\a esc\x1b[2J"}), 0);
  EXPECT_NE(out_.str().find("site=\"bell\\x07 esc\\x1B[2J\""), std::string::npos) << out_.str();

  const struct {
    std::string site;
    std::string cell;  // as the CSV holds it
  } cells[] = {
      {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
      {"+1", "'+1"},
      {"-2", "'-2"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tTab", "'\tTab"},
      {"Kitchen", "Kitchen"},
      {"\rCR", "\"'\rCR\""},
  };
  for (const auto& c : cells) {
    SCOPED_TRACE(c.site);
    ASSERT_EQ(Run({"history", "site", "1", "--", c.site}), 0);
    ASSERT_EQ(Run({"history", "export", "--instrument", "K7-EMUK7001", "-"}), 0);
    // time,run,site,...: the third field of the first row.
    const std::string csv = out_.str();
    std::size_t site = csv.find('\n') + 1;
    for (int comma = 0; comma < 2; ++comma) site = csv.find(',', site) + 1;
    EXPECT_EQ(csv.compare(site, c.cell.size() + 1, c.cell + ","), 0) << csv.substr(site, 40);
  }
}

// A run whose data file is gone keeps its words in annotations.tsv, and gets
// them back when the file returns; a kept name of another model is refused.
TEST_F(HistoryRecoveryTest, WordsWaitForTheirDataAndKeptNamesMustFitTheirBytes) {
  MakeHistory();
  fs::rename("loft.Rn", "loft.away");
  fs::remove(Store());
  ASSERT_EQ(Run({"history", "rebuild"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("Not restored: what was written about 1 run"), std::string::npos)
      << out_.str();
  EXPECT_NE(out_.str().find("Not found again: 1 file once imported from elsewhere"),
            std::string::npos);
  // A change meanwhile keeps the waiting words in the file.
  ASSERT_EQ(Run({"history", "site", "2", "Hall"}), 0);
  fs::rename("loft.away", "loft.Rn");
  ASSERT_EQ(Run({"history", "import", "--instrument", "K5-LOFT", "loft.Rn"}), 0);
  ExpectEverythingBack();
  // The same bytes under a second name: both names are shown.
  for (const auto& kept : fs::directory_iterator(Data() + "/downloads")) {
    fs::copy_file(kept.path(), "copy.Rn");
  }
  ASSERT_EQ(Run({"history", "import", "copy.Rn"}), 0);
  ASSERT_EQ(Run({"history", "show", "1"}), 0);
  const std::vector<std::string> shown = testing::SplitLines(out_.str());
  ASSERT_EQ(shown.size(), 4u) << out_.str();
  EXPECT_EQ(shown[3], "download=" + folder_ + "/copy.Rn");

  ASSERT_EQ(Run({"generate", "--model", "K5", "--hours", "10", "k5.Rn"}), 0);
  fs::copy_file("k5.Rn", Data() + "/downloads/K8-FT000001-20250101-100000.Rn");
  EXPECT_EQ(Run({"history", "rebuild"}), 2);
  EXPECT_NE(err_.str().find("the name says K8 but the file holds the memory of a K5"),
            std::string::npos)
      << err_.str();
  EXPECT_NE(err_.str().find("1 file was skipped"), std::string::npos) << err_.str();
}

}  // namespace
}  // namespace kestrum::tool
