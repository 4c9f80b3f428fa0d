// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/sqlite_connection.h"

#include <cstdio>

namespace kestrum {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) : db_(db) {
  code_ = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
}

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(statement_);
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
  if (statement_) sqlite3_bind_int64(statement_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, double value) {
  if (statement_) sqlite3_bind_double(statement_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
  if (statement_) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
  }
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
  if (statement_) sqlite3_bind_null(statement_, index);
  return *this;
}

bool SqliteStatement::Next() {
  if (!statement_ || Failed()) return false;
  code_ = sqlite3_step(statement_);
  return code_ == SQLITE_ROW;
}

Result<> SqliteStatement::Run() {
  if (!statement_) return Fail(FailureKind::kStore, Error());
  code_ = sqlite3_step(statement_);
  if (code_ != SQLITE_DONE && code_ != SQLITE_ROW) return Fail(FailureKind::kStore, Error());
  sqlite3_reset(statement_);
  return {};
}

Result<> SqliteStatement::Finished() const {
  if (Failed()) return Fail(FailureKind::kStore, "cannot read the history: " + Error());
  return {};
}

std::string SqliteStatement::Error() const {
  if (code_ == SQLITE_OK || code_ == SQLITE_ROW || code_ == SQLITE_DONE) return {};
  return sqlite3_errmsg(db_);
}

void SqliteStatement::Reset() {
  if (!statement_) return;
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
  code_ = SQLITE_OK;
}

std::int64_t SqliteStatement::Int(int column) const {
  return sqlite3_column_int64(statement_, column);
}

double SqliteStatement::Real(int column) const {
  return sqlite3_column_double(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return text
             ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
             : std::string();
}

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

SqliteConnection::~SqliteConnection() {
  Close();
}

Result<> SqliteConnection::Open(const std::string& path, int flags) {
  Close();
  const int code = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
  if (code != SQLITE_OK) {
    std::string error = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    Close();
    return Fail(FailureKind::kStore, error);
  }
  sqlite3_extended_result_codes(db_, 0);
  return {};
}

Result<> SqliteConnection::OpenImmutable(const std::string& path) {
  // As a URI: the path's own bytes, with what a URI reserves escaped.
  std::string uri = "file:";
  for (const unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x21 || c >= 0x7F) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    } else {
      uri += static_cast<char>(c);
    }
  }
  uri += "?immutable=1";
  return Open(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

void SqliteConnection::Close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

Result<> SqliteConnection::Exec(const char* sql) {
  char* message = nullptr;
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
  if (code == SQLITE_OK) return {};
  std::string error = message ? message : sqlite3_errstr(code);
  sqlite3_free(message);
  return Fail(FailureKind::kStore, error);
}

std::string SqliteConnection::LastError() const {
  return db_ ? sqlite3_errmsg(db_) : "no database";
}

int SqliteConnection::LastCode() const {
  return db_ ? sqlite3_errcode(db_) : SQLITE_MISUSE;
}

Result<bool> HasRow(SqliteStatement& statement) {
  if (statement.Next()) return true;
  if (Result<> read = statement.Finished(); !read) return read.failure();
  return false;
}

bool IsBusyCode(int code) {
  return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

}  // namespace kestrum
