// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A thin hold on SQLite's C interface: one connection, prepared statements
// that finalize themselves, and failures as text.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "records/result.h"

namespace kestrum {

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const char* sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameters count from 1, as in SQL.
  SqliteStatement& Bind(int index, std::int64_t value);
  SqliteStatement& Bind(int index, double value);
  // Text is bound as the bytes given: a path that is not UTF-8 keeps its bytes.
  SqliteStatement& Bind(int index, std::string_view text);
  SqliteStatement& BindNull(int index);

  // True while a row is there; false when done or failed (see Failed()).
  bool Next();
  // Runs a statement that gives no rows.
  Result<> Run();
  // After the last row: whether the rows ended because a step failed.
  Result<> Finished() const;
  bool Failed() const { return code_ != SQLITE_OK && code_ != SQLITE_ROW && code_ != SQLITE_DONE; }
  int Code() const { return code_; }
  std::string Error() const;
  void Reset();

  std::int64_t Int(int column) const;
  double Real(int column) const;
  std::string Text(int column) const;
  bool IsNull(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
  int code_ = SQLITE_OK;
};

class SqliteConnection {
 public:
  SqliteConnection() = default;
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // flags: SQLITE_OPEN_* ; never follows a symbolic link at path.
  Result<> Open(const std::string& path, int flags);
  // Read-only, for a file in a folder nobody can write: no journal can
  // appear there, so SQLite need make no shared-memory file beside it.
  Result<> OpenImmutable(const std::string& path);
  void Close();
  sqlite3* Handle() const { return db_; }

  // One or more statements without rows; the failure names SQLite's reason.
  Result<> Exec(const char* sql);
  std::string LastError() const;
  int LastCode() const;

 private:
  sqlite3* db_ = nullptr;
};

// Rolls back unless committed, whatever way the work ends.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteConnection& db) : db_(db) {}
  ~SqliteTransaction() {
    if (open_) (void)db_.Exec("ROLLBACK");
  }
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;
  // "BEGIN IMMEDIATE" or "BEGIN EXCLUSIVE".
  Result<> Begin(const char* sql = "BEGIN IMMEDIATE") {
    Result<> began = db_.Exec(sql);
    open_ = static_cast<bool>(began);
    return began;
  }
  Result<> Commit() {
    Result<> done = db_.Exec("COMMIT");
    if (done) open_ = false;
    return done;
  }

 private:
  SqliteConnection& db_;
  bool open_ = false;
};

// Whether the statement gives a row, or why it could not be asked.
Result<bool> HasRow(SqliteStatement& statement);

// Whether a failure code means another program holds the database.
bool IsBusyCode(int code);

}  // namespace kestrum
