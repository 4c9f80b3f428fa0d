// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_store.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "history/store_health.h"
#include "records/checked_file.h"
#include "records/date_time_stamp.h"
#include "records/utf8_text.h"

namespace kestrum {
namespace {

constexpr char kSchema[] = R"sql(
CREATE TABLE instruments(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE,
  model TEXT NOT NULL,
  calibration REAL NOT NULL DEFAULT 6.0,
  calibration_uncertainty REAL,
  calibrated_on REAL,
  certificate TEXT NOT NULL DEFAULT '',
  interval_months INTEGER NOT NULL DEFAULT 12,
  register_note TEXT NOT NULL DEFAULT '');
CREATE TABLE downloads(
  id INTEGER PRIMARY KEY,
  instrument_id INTEGER NOT NULL REFERENCES instruments(id),
  path TEXT NOT NULL,
  content_hash TEXT NOT NULL UNIQUE,
  taken_at REAL NOT NULL,
  kept INTEGER NOT NULL,
  calibration_factor REAL);
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
  excluded INTEGER NOT NULL DEFAULT 0,
  time_shift REAL NOT NULL DEFAULT 0);
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
CREATE TABLE site_clients(
  site TEXT PRIMARY KEY,
  client TEXT NOT NULL,
  address TEXT NOT NULL) WITHOUT ROWID;
)sql";

// What version 2 added to version 1: the re-dating of a run and the
// calibration uncertainty of an instrument.
constexpr char kToVersion2[] = R"sql(
ALTER TABLE runs ADD COLUMN time_shift REAL NOT NULL DEFAULT 0;
ALTER TABLE instruments ADD COLUMN calibration_uncertainty REAL;
)sql";

// What version 3 added: the instrument register and the calibration factor
// each download carried.
constexpr char kToVersion3[] = R"sql(
ALTER TABLE instruments ADD COLUMN calibrated_on REAL;
ALTER TABLE instruments ADD COLUMN certificate TEXT NOT NULL DEFAULT '';
ALTER TABLE instruments ADD COLUMN interval_months INTEGER NOT NULL DEFAULT 12;
ALTER TABLE instruments ADD COLUMN register_note TEXT NOT NULL DEFAULT '';
ALTER TABLE downloads ADD COLUMN calibration_factor REAL;
)sql";

// What version 4 added: whom each site's tests are for.
constexpr char kToVersion4[] = R"sql(
CREATE TABLE site_clients(
  site TEXT PRIMARY KEY,
  client TEXT NOT NULL,
  address TEXT NOT NULL) WITHOUT ROWID;
)sql";

// Times are given to the minute: a shift under half of one is the run's own time.
constexpr DateTime kHalfMinute = 1.0 / 2880.0;

constexpr char kNewerText[] =
    "The history was written by a newer version of the program; it is shown read-only.";

constexpr char kBusyText[] =
    "The history is in use by another Kestrum program; it is shown read-only until the "
    "program is started again.";

Result<> SetUserVersion(SqliteConnection& db) {
  const std::string sql = "PRAGMA user_version = " + std::to_string(kHistorySchemaVersion);
  return db.Exec(sql.c_str());
}

// -1 when it cannot be read.
int UserVersion(sqlite3* db) {
  SqliteStatement version(db, "PRAGMA user_version");
  return version.Next() ? static_cast<int>(version.Int(0)) : -1;
}

// A file nobody may write: no write permission for us, or no write bit at
// all (root could write it, but whoever made it so meant it to stay).
bool FileIsReadOnly(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  return ::access(path.c_str(), W_OK) != 0 || (info.st_mode & 0222) == 0;
}

// A folder in which no journal can be made: not writable, or on a
// read-only mount.
bool FolderIsReadOnly(const std::string& folder) {
  const std::string name = folder.empty() ? "." : folder;
  struct statvfs mount {};
  if (::statvfs(name.c_str(), &mount) == 0 && (mount.f_flag & ST_RDONLY) != 0) return true;
  return ::access(name.c_str(), W_OK) != 0;
}

// Moves a damaged store aside under a name of its own; never deletes it.
Result<std::string> MoveAside(const std::string& path, DateTime now) {
  std::string aside = path + ".broken-" + DateTimeStamp(now);
  for (int copy = 2; std::filesystem::exists(std::filesystem::symlink_status(aside)); ++copy) {
    aside = path + ".broken-" + DateTimeStamp(now) + "-" + std::to_string(copy);
  }
  std::error_code error;
  std::filesystem::rename(path, aside, error);
  if (error) return Fail("cannot move " + path + " aside: " + error.message());
  // The journal files belong to the damaged store: they go with it.
  for (const char* suffix : kJournalSuffixes) {
    std::error_code ignored;
    if (std::filesystem::exists(path + suffix, ignored)) {
      std::filesystem::rename(path + suffix, aside + suffix, ignored);
    }
  }
  return aside;
}

}  // namespace

std::string HistoryFilePath(const std::string& dataFolder) {
  return PathInFolder(dataFolder, kHistoryFileName);
}

HistoryStore::~HistoryStore() = default;

Result<std::unique_ptr<HistoryStore>> HistoryStore::Open(const std::string& path,
                                                         const HistoryOpenOptions& options) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  const bool exists = fs::exists(status);
  if (exists && !fs::is_regular_file(status)) {
    return Fail(path + " is not a regular file; the history is not opened");
  }
  // SQLite would open a journal there or call the store damaged: neither may happen.
  if (const std::optional<std::string> odd = OddJournalFile(path)) {
    return Fail(*odd + " is not a regular file; the history is not opened and nothing was moved");
  }
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty() && !exists) {
    fs::create_directories(folder, error);
    if (error) return Fail("cannot make the folder " + folder.string() + ": " + error.message());
  }

  std::unique_ptr<HistoryStore> store(new HistoryStore());
  store->path_ = path;
  store->readOnly_ = options.readOnly;
  const bool folderReadOnly = FolderIsReadOnly(folder.string());
  if (exists && FileIsReadOnly(path) && !folderReadOnly) {
    store->readOnly_ = true;
    store->notice_ = path + " is read-only; the history is shown read-only.";
  } else if (folderReadOnly) {
    if (!exists) return Fail("cannot make the history " + path + ": its folder is read-only");
    store->readOnly_ = true;
    store->notice_ = "The folder of " + path + " is read-only; the history is shown read-only.";
  }
  if (!store->readOnly_) (void)store->lock_.Take(path + ".lock", options.busyMilliseconds);
  // Journals that no program alive wrote may be another store's, or older or
  // newer than this file: what SQLite makes of them is checked in full.
  const bool thorough = store->lock_.Alone() && HasJournal(path);

  // Checked on a copy first: a journal that is not the store's must not be
  // replayed into it, and goes aside with it as it was.
  std::optional<StoreHealth> leftover;
  if (thorough) leftover = CheckJournalsOnCopy(path, kHistorySchemaVersion);
  const bool damagedByJournal = leftover && leftover->condition == StoreCondition::kDamaged;

  const int flags = store->readOnly_ && exists ? SQLITE_OPEN_READONLY
                                               : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  Result<> opened;
  StoreHealth health;
  if (damagedByJournal) {
    health = *leftover;
  } else {
    // Where no journal can be made, none can be pending but one left there.
    opened = folderReadOnly && !HasJournal(path) ? store->db_.OpenImmutable(path)
                                                 : store->db_.Open(path, flags);
    if (!opened) return Fail("cannot open the history " + path + ": " + opened.error());
    sqlite3_busy_timeout(store->db_.Handle(), options.busyMilliseconds);
    health = CheckStore(store->db_.Handle(), thorough, kHistorySchemaVersion);
  }
  if (health.condition == StoreCondition::kBusy) {
    return Fail("the history " + path + " is locked by another program");
  }
  if (health.condition == StoreCondition::kUnreadable) {
    // SQLite says "disk I/O error" when it cannot grow its shared-memory file.
    struct statvfs disk {};
    const bool full =
        ::statvfs(folder.empty() ? "." : folder.c_str(), &disk) == 0 && disk.f_bavail == 0;
    return Fail("cannot read the history " + path + ": " + health.reason +
                (full ? " (the disk that holds it is full)" : "") + "; it is kept as it is");
  }
  if (health.condition == StoreCondition::kDamaged) {
    if (store->readOnly_) {
      return Fail("the history " + path + " is damaged (" + health.reason + ") and read-only");
    }
    store->db_.Close();
    const Result<std::string> aside = MoveAside(path, options.now);
    if (!aside) return aside.failure();
    opened = store->db_.Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!opened) return Fail("cannot open the history " + path + ": " + opened.error());
    sqlite3_busy_timeout(store->db_.Handle(), options.busyMilliseconds);
    store->needsRebuild_ = true;
    const std::string cause = damagedByJournal
                                  ? "the journal files beside it do not fit it: " + health.reason
                                  : health.reason;
    store->notice_ = "The history was damaged (" + cause + "); it was moved aside as " +
                     aside.value() + ", with its journal files, and built again from the kept " +
                     "downloads.";
    health = StoreHealth{};
  }
  if (health.version > kHistorySchemaVersion) {
    store->readOnly_ = true;
    store->notice_ = kNewerText;
  }
  // What the queries may name, as long as the store is only read.
  store->schemaVersion_ = health.version;
  if (store->readOnly_) {
    // Nothing this connection does may change the file.
    (void)store->db_.Exec("PRAGMA query_only = ON");
    return store;
  }
  (void)store->db_.Exec("PRAGMA foreign_keys = ON");
  // Taking the write lock once tells whether another program holds it; a
  // new store is made under an exclusive one, so that a program racing to
  // make it too finds it whole.
  const Result<> began =
      store->db_.Exec(health.version == 0 ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE");
  if (!began) {
    if (IsBusyCode(store->db_.LastCode())) {
      store->readOnly_ = true;
      store->notice_ = kBusyText;
      (void)store->db_.Exec("PRAGMA query_only = ON");
      return store;
    }
    return Fail("cannot write the history " + path + ": " + began.error());
  }
  // Read again under the write lock: another program may have made or
  // migrated the schema since.
  const int version = UserVersion(store->db_.Handle());
  if (version > kHistorySchemaVersion) {
    (void)store->db_.Exec("ROLLBACK");
    store->readOnly_ = true;
    store->notice_ = kNewerText;
    store->schemaVersion_ = version;
    (void)store->db_.Exec("PRAGMA query_only = ON");
    return store;
  }
  Result<> made;
  if (version < 0) {
    made = Fail(store->db_.LastError());
  } else if (version == 0) {
    made = store->CreateSchema();
    store->created_ = static_cast<bool>(made);
    std::error_code ignored;
    store->awaitsRestore_ =
        store->created_ &&
        (store->needsRebuild_ || fs::exists(fs::symlink_status(store->AnnotationsPath(), ignored)));
  } else if (version < kHistorySchemaVersion) {
    made = store->Migrate(version);
  }
  if (!made) {
    (void)store->db_.Exec("ROLLBACK");
    return Fail("cannot write the history " + path + ": " + made.error());
  }
  const Result<> committed = store->db_.Exec("COMMIT");
  if (!committed) {
    (void)store->db_.Exec("ROLLBACK");
    return Fail("cannot write the history " + path + ": " + committed.error());
  }
  store->schemaVersion_ = kHistorySchemaVersion;
  // Readers never wait for a writer, and a killed writer leaves no trace.
  (void)store->db_.Exec("PRAGMA journal_mode = WAL");
  store->lock_.Share();
  return store;
}

Result<> HistoryStore::CreateSchema() {
  // A file some other program left here with tables of its own is not ours to fill.
  SqliteStatement tables(db_.Handle(), "SELECT count(*) FROM sqlite_master");
  const bool any = tables.Next() && tables.Int(0) > 0;
  if (Result<> read = tables.Finished(); !read) return read;
  if (any) return Fail("it holds tables of another program");
  if (Result<> made = db_.Exec(kSchema); !made) return made;
  return SetUserVersion(db_);
}

Result<> HistoryStore::Migrate(int fromVersion) {
  if (fromVersion < 2) {
    if (Result<> added = db_.Exec(kToVersion2); !added) return added;
  }
  if (fromVersion < 3) {
    if (Result<> added = db_.Exec(kToVersion3); !added) return added;
  }
  if (fromVersion < 4) {
    if (Result<> added = db_.Exec(kToVersion4); !added) return added;
  }
  return SetUserVersion(db_);
}

Result<> HistoryStore::Writable() const {
  if (readOnly_) return Fail(notice_.value_or("the history is read-only"));
  return {};
}

Result<> HistoryStore::UpdateRun(SqliteStatement& update, std::int64_t run) {
  if (Result<> done = update.Run(); !done) return Fail("cannot write the history: " + done.error());
  if (sqlite3_changes(db_.Handle()) == 0) return Fail("no run " + std::to_string(run));
  return {};
}

static Result<> CheckTextLength(const char* what, const std::string& text, std::size_t limit) {
  const std::size_t length = Utf8CharacterCount(text);
  if (length <= limit) return {};
  return Fail(std::string("a ") + what + " is at most " + std::to_string(limit) +
              " characters; this one has " + std::to_string(length));
}

Result<> HistoryStore::SetSite(std::int64_t run, const std::string& site) {
  if (Result<> ok = CheckTextLength("site", site, kSiteCharacterLimit); !ok) return ok;
  return ChangeKept([&] {
    SqliteStatement update(db_.Handle(), "UPDATE runs SET site = ? WHERE id = ?");
    update.Bind(1, site).Bind(2, run);
    return UpdateRun(update, run);
  });
}

Result<> HistoryStore::SetNote(std::int64_t run, const std::string& note) {
  if (Result<> ok = CheckTextLength("note", note, kNoteCharacterLimit); !ok) return ok;
  return ChangeKept([&] {
    SqliteStatement update(db_.Handle(), "UPDATE runs SET note = ? WHERE id = ?");
    update.Bind(1, note).Bind(2, run);
    return UpdateRun(update, run);
  });
}

Result<> HistoryStore::SetExcluded(std::int64_t run, bool excluded) {
  return ChangeKept([&] {
    SqliteStatement update(db_.Handle(), "UPDATE runs SET excluded = ? WHERE id = ?");
    update.Bind(1, std::int64_t{excluded ? 1 : 0}).Bind(2, run);
    return UpdateRun(update, run);
  });
}

Result<> HistoryStore::Redate(std::int64_t run, DateTime firstSample) {
  if (Result<> ok = Writable(); !ok) return ok;
  const std::string name = "run " + std::to_string(run);
  const Result<std::optional<HistoryRun>> listed = FindRun(run);
  if (!listed) return listed.failure();
  const std::optional<HistoryRun>& found = listed.value();
  SqliteStatement select(db_.Handle(), "SELECT start, first, sample_count FROM runs WHERE id = ?");
  select.Bind(1, run);
  if (!select.Next() || !found) {
    if (Result<> read = select.Finished(); !read) return read;
    return Fail("no " + name);
  }
  // The original times, whatever shift the run has now.
  const DateTime start = select.Real(0);
  const DateTime first = select.Real(1);
  if (!StartsWithClockUnset(start) && !found->future && !found->redated) {
    return Fail(name + " cannot be re-dated: the instrument's clock was set when it measured");
  }
  if (select.Int(2) == 0 || first == 0) return Fail(name + " has no samples to re-date");
  if (!std::isfinite(firstSample)) return Fail(name + " cannot be re-dated to no time");
  DateTime shift = firstSample - first;
  if (std::abs(shift) < kHalfMinute) shift = 0;
  return ChangeKept([&] {
    SqliteStatement update(db_.Handle(), "UPDATE runs SET time_shift = ? WHERE id = ?");
    update.Bind(1, shift).Bind(2, run);
    return UpdateRun(update, run);
  });
}

Result<> HistoryStore::SetCalibrationUncertainty(const std::string& instrument,
                                                 std::optional<double> percent) {
  if (Result<> ok = Writable(); !ok) return ok;
  if (percent && !(*percent >= 0 && *percent <= 100)) {
    char given[32];
    std::snprintf(given, sizeof given, "%g", *percent);
    return Fail(std::string("a calibration uncertainty is a percentage from 0 to 100, not ") +
                given);
  }
  return ChangeKept([&]() -> Result<> {
    SqliteStatement update(db_.Handle(),
                           "UPDATE instruments SET calibration_uncertainty = ? WHERE name = ?");
    if (percent) {
      update.Bind(1, *percent);
    } else {
      update.BindNull(1);
    }
    update.Bind(2, instrument);
    if (Result<> done = update.Run(); !done) {
      return Fail("cannot write the history: " + done.error());
    }
    if (sqlite3_changes(db_.Handle()) == 0) return Fail("no instrument \"" + instrument + "\"");
    return {};
  });
}

Result<> HistoryStore::SetRegister(const std::string& instrument, const InstrumentRegister& entry,
                                   DateTime today) {
  if (Result<> ok = Writable(); !ok) return ok;
  if (entry.calibratedOn && *entry.calibratedOn >= std::floor(today) + 1) {
    return Fail("a calibration date after today is refused");
  }
  if (entry.intervalMonths < 1 || entry.intervalMonths > kLongestCalibrationInterval) {
    return Fail("a calibration interval is 1 to 120 months, not " +
                std::to_string(entry.intervalMonths));
  }
  if (Result<> ok = CheckTextLength("certificate", entry.certificate, kSiteCharacterLimit); !ok) {
    return ok;
  }
  if (Result<> ok = CheckTextLength("note", entry.note, kNoteCharacterLimit); !ok) return ok;
  return ChangeKept([&]() -> Result<> {
    SqliteStatement update(db_.Handle(),
                           "UPDATE instruments SET calibrated_on = ?, certificate = ?, "
                           "interval_months = ?, register_note = ? WHERE name = ?");
    if (entry.calibratedOn) {
      update.Bind(1, std::floor(*entry.calibratedOn));
    } else {
      update.BindNull(1);
    }
    update.Bind(2, entry.certificate)
        .Bind(3, std::int64_t{entry.intervalMonths})
        .Bind(4, entry.note)
        .Bind(5, instrument);
    if (Result<> done = update.Run(); !done) {
      return Fail("cannot write the history: " + done.error());
    }
    if (sqlite3_changes(db_.Handle()) == 0) return Fail("no instrument \"" + instrument + "\"");
    return {};
  });
}

Result<> HistoryStore::SetSiteClient(const std::string& site, const SiteClient& client) {
  if (Result<> ok = Writable(); !ok) return ok;
  if (Result<> ok = CheckTextLength("client", client.client, kSiteCharacterLimit); !ok) return ok;
  if (Result<> ok = CheckTextLength("address", client.address, kNoteCharacterLimit); !ok) {
    return ok;
  }
  return ChangeKept([&]() -> Result<> {
    SqliteStatement change(
        db_.Handle(), client.Empty() ? "DELETE FROM site_clients WHERE site = ?"
                                     : "INSERT OR REPLACE INTO site_clients(site, client, address) "
                                       "VALUES(?, ?, ?)");
    change.Bind(1, site);
    if (!client.Empty()) change.Bind(2, client.client).Bind(3, client.address);
    if (Result<> done = change.Run(); !done) {
      return Fail("cannot write the history: " + done.error());
    }
    return {};
  });
}

Result<SiteClient> HistoryStore::SiteClientOf(const std::string& site) {
  if (!HasVersion4Tables()) return SiteClient{};
  SqliteStatement select(db_.Handle(), "SELECT client, address FROM site_clients WHERE site = ?");
  select.Bind(1, site);
  if (select.Next()) return SiteClient{select.Text(0), select.Text(1)};
  if (Result<> read = select.Finished(); !read) return read.failure();
  return SiteClient{};
}

Result<> HistoryStore::RecordActivity(const ActivityEntry& entry) {
  return ChangeKept([&]() -> Result<> {
    SqliteStatement insert(db_.Handle(),
                           "INSERT INTO activity(at, kind, instrument, text) VALUES(?, ?, ?, ?)");
    insert.Bind(1, entry.at).Bind(2, entry.kind).Bind(3, entry.instrument).Bind(4, entry.text);
    if (Result<> done = insert.Run(); !done) {
      return Fail("cannot write the history: " + done.error());
    }
    return {};
  });
}

Result<std::int64_t> HistoryStore::DataVersion() {
  SqliteStatement version(db_.Handle(), "PRAGMA data_version");
  if (version.Next()) return version.Int(0);
  if (Result<> read = version.Finished(); !read) return read.failure();
  return Fail(FailureKind::kStore, "cannot read the history: no data version");
}

Result<std::vector<ActivityEntry>> HistoryStore::LatestActivity(int count) {
  std::vector<ActivityEntry> entries;
  SqliteStatement select(
      db_.Handle(), "SELECT at, kind, instrument, text FROM activity ORDER BY id DESC LIMIT ?");
  select.Bind(1, std::int64_t{count});
  while (select.Next()) {
    entries.push_back({select.Real(0), select.Text(1), select.Text(2), select.Text(3)});
  }
  if (Result<> read = select.Finished(); !read) return read.failure();
  return entries;
}

}  // namespace kestrum
