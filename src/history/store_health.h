// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a history file is ours and whole. Only what SQLite itself calls
// damage (a corrupt file, not a database, a failed check) and a schema that
// lacks what the program reads count as damaged: a full disk, an I/O error,
// a lock or a read-only file are the store's circumstances, not its state,
// and never a reason to move it aside.

#include <sqlite3.h>

#include <optional>
#include <string>

namespace kestrum {

enum class StoreCondition {
  kHealthy,     // ours (or empty, to be made), whole
  kDamaged,     // to be moved aside and built again
  kBusy,        // another program holds it
  kUnreadable,  // cannot be read now (full disk, I/O error, permissions): keep as it is
};

struct StoreHealth {
  StoreCondition condition = StoreCondition::kHealthy;
  int version = 0;     // PRAGMA user_version; 0 for a new, empty file
  std::string reason;  // for damaged and unreadable: SQLite's words or the missing table
};

// `thorough` runs the full integrity check (indexes against their tables),
// else the quick one; the full one is for a store whose journal nobody
// alive wrote.
StoreHealth CheckStore(sqlite3* db, bool thorough, int schemaVersion);

// The store's journal files, beside it.
inline constexpr const char* kJournalSuffixes[] = {"-wal", "-shm", "-journal"};

// The first journal name at which something other than a regular file
// lies (a folder, a FIFO, a device, a link).
std::optional<std::string> OddJournalFile(const std::string& storePath);

// Whether a write-ahead log or rollback journal with content lies beside it.
bool HasJournal(const std::string& storePath);

// The full check of what SQLite makes of the store with its journals, run
// on a copy of the three, so that a journal that is not the store's is
// never replayed into it and stays as it was for whoever looks into it.
// Empty when no copy could be made (a full disk): then the check runs on
// the store itself.
std::optional<StoreHealth> CheckJournalsOnCopy(const std::string& storePath, int schemaVersion);

}  // namespace kestrum
