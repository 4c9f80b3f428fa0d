// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/store_health.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "history/sqlite_connection.h"

namespace kestrum {
namespace {

struct UsedColumns {
  const char* table;
  const char* columns;
  int since;  // the schema version that added them
};

// Every table and column the queries name.
constexpr UsedColumns kUsed[] = {
    {"instruments", "id, name, model, calibration", 1},
    {"instruments", "calibration_uncertainty", 2},
    {"downloads", "id, instrument_id, path, content_hash, taken_at, kept", 1},
    {"download_files", "path, download_id", 1},
    {"runs",
     "id, instrument_id, start_minute, start, sample_count, first, last, digest, conflict, site, "
     "note, excluded",
     1},
    {"runs", "time_shift", 2},
    {"instruments", "calibrated_on, certificate, interval_months, register_note", 3},
    {"downloads", "calibration_factor", 3},
    {"run_downloads", "run_id, download_id", 1},
    {"samples", "run_id, idx, time, concentration, error, pulses, temperature, humidity, pressure",
     1},
    {"activity", "id, at, kind, instrument, text", 1},
    {"site_clients", "site, client, address", 4},
};

bool IsDamagedCode(int code) {
  return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

StoreHealth FromCode(int code, sqlite3* db, int version) {
  StoreHealth health;
  health.version = version;
  health.reason = sqlite3_errmsg(db);
  if (IsDamagedCode(code)) {
    health.condition = StoreCondition::kDamaged;
  } else if (IsBusyCode(code)) {
    health.condition = StoreCondition::kBusy;
  } else {
    health.condition = StoreCondition::kUnreadable;
  }
  return health;
}

}  // namespace

StoreHealth CheckStore(sqlite3* db, bool thorough, int schemaVersion) {
  int version = 0;
  {
    SqliteStatement read(db, "PRAGMA user_version");
    if (!read.Next()) return FromCode(read.Code(), db, 0);
    version = static_cast<int>(read.Int(0));
  }
  {
    SqliteStatement check(db, thorough ? "PRAGMA integrity_check(1)" : "PRAGMA quick_check(1)");
    if (!check.Next()) return FromCode(check.Code(), db, version);
    if (check.Text(0) != "ok") {
      // "*** in database main ***\nPage 12 is never used": the finding, on one line.
      std::string finding = check.Text(0);
      const std::size_t header = finding.find("***\n");
      if (finding.rfind("*** ", 0) == 0 && header != std::string::npos) {
        finding.erase(0, header + 4);
      }
      std::replace(finding.begin(), finding.end(), '\n', ' ');
      return {StoreCondition::kDamaged, version, finding};
    }
  }
  if (version == 0) {
    SqliteStatement tables(db, "SELECT count(*) FROM sqlite_master");
    if (!tables.Next()) return FromCode(tables.Code(), db, version);
    if (tables.Int(0) > 0) {
      return {StoreCondition::kDamaged, version, "it holds tables that are not the history's"};
    }
    return {StoreCondition::kHealthy, version, {}};
  }
  // A newer program's schema is its own business: the store is only read.
  if (version > schemaVersion) return {StoreCondition::kHealthy, version, {}};
  for (const UsedColumns& used : kUsed) {
    if (used.since > version) continue;
    const std::string sql =
        std::string("SELECT ") + used.columns + " FROM " + used.table + " LIMIT 0";
    SqliteStatement probe(db, sql.c_str());
    if (probe.Code() == SQLITE_ERROR) {
      return {StoreCondition::kDamaged, version,
              std::string("the table ") + used.table +
                  " is missing or lacks a column the program reads (" + sqlite3_errmsg(db) + ")"};
    }
    if (probe.Code() != SQLITE_OK) return FromCode(probe.Code(), db, version);
  }
  return {StoreCondition::kHealthy, version, {}};
}

std::optional<std::string> OddJournalFile(const std::string& storePath) {
  namespace fs = std::filesystem;
  for (const char* suffix : kJournalSuffixes) {
    const std::string name = storePath + suffix;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(name, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) return name;
  }
  return std::nullopt;
}

std::optional<StoreHealth> CheckJournalsOnCopy(const std::string& storePath, int schemaVersion) {
  namespace fs = std::filesystem;
  const std::string copy = storePath + ".check-" + std::to_string(::getpid());
  const auto removeCopies = [&] {
    std::error_code ignored;
    fs::remove(copy, ignored);
    for (const char* suffix : kJournalSuffixes) fs::remove(copy + suffix, ignored);
  };
  removeCopies();
  std::error_code error;
  fs::copy_file(storePath, copy, error);
  for (const char* suffix : {"-wal", "-journal"}) {
    if (!error && fs::exists(storePath + suffix)) {
      fs::copy_file(storePath + suffix, copy + suffix, error);
    }
  }
  if (error) {
    removeCopies();
    return std::nullopt;
  }
  std::optional<StoreHealth> health;
  {
    SqliteConnection db;
    if (db.Open(copy, SQLITE_OPEN_READWRITE)) {
      health = CheckStore(db.Handle(), true, schemaVersion);
    }
  }
  removeCopies();
  return health;
}

bool HasJournal(const std::string& storePath) {
  namespace fs = std::filesystem;
  for (const char* suffix : {"-wal", "-journal"}) {
    std::error_code error;
    const auto size = fs::file_size(storePath + suffix, error);
    if (!error && size > 0) return true;
  }
  return false;
}

}  // namespace kestrum
