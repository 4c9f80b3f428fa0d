// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The measurement history: one SQLite file, history.sqlite, in the program's
// data folder. The kept data files stay the source of truth; the store is
// their index plus what only the user knows (sites, notes, exclusions) and
// the activity log. Every import is one transaction, so a full disk or a
// killed program leaves the store as it was before.
//
// Opening copes with what can go wrong with the file:
// - another program writing to it: waits a few seconds, then opens it
//   read-only and says so;
// - damaged (by SQLite's own word, or lacking a table or column the program
//   reads): moved aside with its journals as history.sqlite.broken-<time>
//   (never deleted) and a new one made, which the caller fills again from
//   the kept downloads and annotations.tsv (NeedsRebuild);
// - a full disk, an I/O error, a read-only file or folder: never moved; it
//   is shown read-only or not opened, with the system's reason;
// - journals left by no program alive: checked in full before trusted;
// - written by a newer version of the program: opened read-only;
// - anything but a regular file at the name or a journal's: not opened at all.
//
// Every change of what only the user adds (sites, notes, exclusions,
// re-datings, the instrument register, the activity log, files imported
// from elsewhere) is also written to annotations.tsv beside the store, in
// the same step: the change is refused when the file cannot be written.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/annotations_file.h"
#include "history/history_types.h"
#include "history/sqlite_connection.h"
#include "history/store_lock.h"
#include "records/result.h"

namespace kestrum {

inline constexpr char kHistoryFileName[] = "history.sqlite";
// The schema this program writes (PRAGMA user_version). An older store
// opened for writing is brought up to it; one only read stays as it is.
inline constexpr int kHistorySchemaVersion = 4;

// The longest site and note, in characters: a site names a room, a note
// says what happened; more is a paste gone wrong.
inline constexpr std::size_t kSiteCharacterLimit = 200;
inline constexpr std::size_t kNoteCharacterLimit = 4000;
// Ten years: longer is no calibration anyone relies on.
inline constexpr int kLongestCalibrationInterval = 120;

// "<data folder>/history.sqlite".
std::string HistoryFilePath(const std::string& dataFolder);

struct HistoryOpenOptions {
  // How long to wait for another program that is writing.
  int busyMilliseconds = 3000;
  // The time in the name of a damaged file moved aside.
  DateTime now = 0;
  // Open only for reading, whatever the file allows.
  bool readOnly = false;
};

class HistoryStore {
 public:
  static Result<std::unique_ptr<HistoryStore>> Open(const std::string& path,
                                                    const HistoryOpenOptions& options);
  ~HistoryStore();

  const std::string& Path() const { return path_; }
  bool ReadOnly() const { return readOnly_; }
  // What the user should be told about how the store was opened (moved
  // aside, newer version, busy); none when all is well.
  const std::optional<std::string>& Notice() const { return notice_; }
  // A new store replaced a damaged one: fill it from the kept downloads.
  bool NeedsRebuild() const { return needsRebuild_; }
  // This open made the store (it was missing, or replaced a damaged one).
  bool Created() const { return created_; }
  // It made it where a history was before (damaged, or its file deleted
  // beside annotations.tsv): the user's words are to be restored, once.
  bool AwaitsRestore() const { return awaitsRestore_; }
  void RestoreDone() { awaitsRestore_ = false; }
  // Adds a sentence to the notice (what a rebuild restored).
  void AppendNotice(const std::string& text) { notice_ = notice_ ? *notice_ + " " + text : text; }

  // Imports one decoded file in one transaction. The same bytes twice (by
  // content hash) change nothing.
  Result<ImportCounts> Import(const ImportSource& source, const DecodedFile& file);
  // Whether a data file at this path, or with these bytes, is in the store.
  Result<bool> KnowsPath(const std::string& path);
  Result<bool> KnowsContent(const std::string& contentHash);

  // A site or note longer than its limit is refused, naming the limit.
  Result<> SetSite(std::int64_t run, const std::string& site);
  Result<> SetNote(std::int64_t run, const std::string& note);
  Result<> SetExcluded(std::int64_t run, bool excluded);
  // Moves every time of a run measured with a wrong clock (its original
  // start in the year 2000, or after the download that brought it) so that
  // its first sample is at `firstSample`.
  // The stored times stay the instrument's, so later downloads of the same
  // memory still merge into the run; the original first time undoes it.
  Result<> Redate(std::int64_t run, DateTime firstSample);
  // The uncertainty of the instrument's calibration in percent (0 to 100),
  // or none.
  Result<> SetCalibrationUncertainty(const std::string& instrument, std::optional<double> percent);
  // The rest of the register's entry, as a whole. Refused, naming the word:
  // a calibration day after `today`, an interval outside 1 to 120 months, a
  // certificate over 200 or a note over 4,000 characters.
  Result<> SetRegister(const std::string& instrument, const InstrumentRegister& entry,
                       DateTime today);

  // The client and address of a site ("" for runs without one); a client
  // over 200 or an address over 4,000 characters is refused. Both empty
  // forgets them.
  Result<> SetSiteClient(const std::string& site, const SiteClient& client);
  // Empty when none was given (or the store predates them).
  Result<SiteClient> SiteClientOf(const std::string& site);

  Result<> RecordActivity(const ActivityEntry& entry);
  // Newest first.
  Result<std::vector<ActivityEntry>> LatestActivity(int count);
  // Hands back the pages SQLite keeps cached (megabytes after reading ten
  // years of samples); they are read again when needed.
  void ReleaseMemory() { sqlite3_db_release_memory(db_.Handle()); }
  // Changes whenever another connection (another program) commits to the
  // store; this connection's own changes leave it as it is.
  Result<std::int64_t> DataVersion();

  // Every read fails with SQLite's reason rather than ending short.
  Result<std::vector<HistoryInstrument>> Instruments();
  Result<std::optional<HistoryInstrument>> FindInstrument(const std::string& name);
  // Oldest first (by start, then id); every instrument when name is empty.
  Result<std::vector<HistoryRun>> Runs(const std::string& instrument = {});
  Result<std::optional<HistoryRun>> FindRun(std::int64_t id);
  Result<std::vector<HistorySample>> Samples(std::int64_t run);
  // Where the calibration factor of the instrument's kept downloads changed
  // from one download to the next, oldest first.
  Result<std::vector<FactorChange>> FactorChanges(const std::string& instrument);
  // The data files that hold a run, oldest first; every name of bytes kept
  // under two, the first one first.
  Result<std::vector<std::string>> DownloadsOf(std::int64_t run);

  // annotations.tsv, beside the store.
  std::string AnnotationsPath() const;
  // What only the user added, as the store holds it now.
  Result<Annotations> CollectAnnotations();
  // Puts back what `from` holds where the store has its runs and
  // instruments and holds nothing of its own for them (a word written
  // since wins); the activity too when `withActivity` (a store just made).
  // What finds no run yet stays in the file for a later import.
  Result<AnnotationRestore> RestoreAnnotations(const Annotations& from, bool withActivity);

  // Test seam: called after each run written inside an import's transaction.
  void SetImportStepHook(std::function<void()> hook) { importStepHook_ = std::move(hook); }

 private:
  HistoryStore() = default;
  Result<> Writable() const;
  Result<> CreateSchema();
  // Inside Open's transaction: an older schema brought up to this one.
  Result<> Migrate(int fromVersion);
  // Whether the file has the columns of version 2 (a version-1 store read
  // without being migrated has not).
  bool HasVersion2Columns() const { return schemaVersion_ >= 2; }
  // The register and the downloads' calibration factors.
  bool HasVersion3Columns() const { return schemaVersion_ >= 3; }
  // The sites' clients and addresses.
  bool HasVersion4Tables() const { return schemaVersion_ >= 4; }
  // Runs a prepared change of one run; a run that is not there is a failure.
  Result<> UpdateRun(SqliteStatement& update, std::int64_t run);
  // A change of what only the user adds: in one transaction with writing
  // annotations.tsv, so the two never disagree.
  Result<> ChangeKept(const std::function<Result<>()>& change);
  // Writes annotations.tsv from the store, keeping the file's entries for
  // runs, instruments and files the store does not hold (yet).
  Result<> KeepAnnotations();
  // Inside a transaction: what `from` holds for runs and instruments the
  // store has, where it holds nothing of its own.
  Result<> ApplyAnnotations(const Annotations& from, bool withActivity, AnnotationRestore& restore);
  // Inside an import's transaction: the words annotations.tsv keeps for runs
  // that were missing, now that they may have come.
  Result<> ApplyWaitingAnnotations();

  StoreLock lock_;
  SqliteConnection db_;
  std::string path_;
  bool created_ = false;
  bool awaitsRestore_ = false;
  bool readOnly_ = false;
  bool needsRebuild_ = false;
  int schemaVersion_ = kHistorySchemaVersion;
  std::optional<std::string> notice_;
  std::function<void()> importStepHook_;
};

}  // namespace kestrum
