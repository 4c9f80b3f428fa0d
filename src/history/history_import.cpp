// SPDX-License-Identifier: GPL-3.0-or-later
// One decoded data file into the history, in one transaction. Runs are
// merged across downloads: the instrument keeps a run until it is erased,
// so successive downloads repeat it and a run still recording grows. Two
// versions whose shared samples agree are one run (the longer is kept);
// versions that disagree are both kept, marked as a conflict, never mixed.
#include <cmath>

#include "history/history_store.h"
#include "history/sample_digest.h"

namespace kestrum {
namespace {

struct KnownVersion {
  std::int64_t id = 0;
  int count = 0;
  std::uint64_t digest = 0;
};

// First and last stamped sample; samples stamped 0 are no measurement.
void SampleSpan(const std::vector<HistorySample>& samples, DateTime* first, DateTime* last) {
  *first = *last = 0;
  for (const HistorySample& s : samples) {
    if (s.time == 0) continue;
    if (*first == 0) *first = s.time;
    *last = s.time;
  }
}

std::string BusyOr(const SqliteConnection& db, const std::string& error) {
  if (IsBusyCode(db.LastCode())) {
    return "the history is busy: another Kestrum program is writing to it; try again";
  }
  return "cannot write the history: " + error;
}

class Importer {
 public:
  Importer(sqlite3* db, std::int64_t instrument, std::int64_t download)
      : db_(db),
        instrument_(instrument),
        download_(download),
        findVersions_(db,
                      "SELECT id, sample_count, digest FROM runs "
                      "WHERE instrument_id = ? AND start_minute = ? ORDER BY id"),
        insertSample_(db,
                      "INSERT INTO samples(run_id, idx, time, concentration, error, pulses, "
                      "temperature, humidity, pressure) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        link_(db, "INSERT OR IGNORE INTO run_downloads(run_id, download_id) VALUES(?, ?)") {}

  Result<> Take(const DecodedRun& run, ImportCounts& counts) {
    if (run.samples.empty()) return {};
    const std::vector<std::uint64_t> prefix = PrefixDigests(run.samples);
    const int count = static_cast<int>(run.samples.size());
    std::vector<KnownVersion> known;
    findVersions_.Reset();
    findVersions_.Bind(1, instrument_).Bind(2, RunStartMinute(run.start));
    while (findVersions_.Next()) {
      known.push_back({findVersions_.Int(0), static_cast<int>(findVersions_.Int(1)),
                       static_cast<std::uint64_t>(findVersions_.Int(2))});
    }
    if (Result<> read = findVersions_.Finished(); !read) return read;

    for (const KnownVersion& version : known) {
      const Result<bool> agrees = Agrees(version, run.samples, prefix);
      if (!agrees) return agrees.failure();
      if (!agrees.value()) continue;
      if (count > version.count) {
        if (Result<> grown = Grow(version, run.samples, prefix.back()); !grown) return grown;
        ++counts.grownRuns;
        counts.newSamples += count - version.count;
      } else {
        ++counts.sameRuns;
      }
      return Link(version.id);
    }
    const bool conflict = !known.empty();
    const Result<std::int64_t> added = AddRun(run, prefix.back(), conflict);
    if (!added) return added.failure();
    if (conflict) {
      SqliteStatement mark(db_,
                           "UPDATE runs SET conflict = 1 WHERE instrument_id = ? AND "
                           "start_minute = ?");
      mark.Bind(1, instrument_).Bind(2, RunStartMinute(run.start));
      if (Result<> marked = mark.Run(); !marked) return marked;
      ++counts.conflictRuns;
    } else {
      ++counts.newRuns;
    }
    counts.newSamples += count;
    return Link(added.value());
  }

 private:
  Result<bool> Agrees(const KnownVersion& version, const std::vector<HistorySample>& samples,
                      const std::vector<std::uint64_t>& prefix) {
    const std::size_t shared = std::min<std::size_t>(version.count, samples.size());
    if (static_cast<std::size_t>(version.count) <= samples.size()) {
      return prefix[shared] == version.digest;
    }
    // The known version is longer: compare its first samples with this one.
    SqliteStatement select(db_,
                           "SELECT time, concentration, error, pulses, temperature, "
                           "humidity, pressure FROM samples WHERE run_id = ? AND idx < ? "
                           "ORDER BY idx");
    select.Bind(1, version.id).Bind(2, static_cast<std::int64_t>(shared));
    std::uint64_t digest = kEmptySampleDigest;
    std::size_t read = 0;
    while (select.Next()) {
      digest = AddToDigest(digest, {select.Real(0), select.Real(1), select.Real(2), select.Real(3),
                                    select.Real(4), select.Real(5), select.Real(6)});
      ++read;
    }
    if (Result<> finished = select.Finished(); !finished) return finished.failure();
    return read == shared && digest == prefix[shared];
  }

  Result<> InsertSamples(std::int64_t run, const std::vector<HistorySample>& samples,
                         std::size_t from) {
    for (std::size_t i = from; i < samples.size(); ++i) {
      const HistorySample& s = samples[i];
      insertSample_.Reset();
      insertSample_.Bind(1, run)
          .Bind(2, static_cast<std::int64_t>(i))
          .Bind(3, s.time)
          .Bind(4, s.concentration)
          .Bind(5, s.error)
          .Bind(6, s.pulses)
          .Bind(7, s.temperature)
          .Bind(8, s.humidity)
          .Bind(9, s.pressure);
      if (Result<> done = insertSample_.Run(); !done) return done;
    }
    return {};
  }

  Result<> Grow(const KnownVersion& version, const std::vector<HistorySample>& samples,
                std::uint64_t digest) {
    if (Result<> added =
            InsertSamples(version.id, samples, static_cast<std::size_t>(version.count));
        !added) {
      return added;
    }
    DateTime first = 0;
    DateTime last = 0;
    SampleSpan(samples, &first, &last);
    SqliteStatement update(db_,
                           "UPDATE runs SET sample_count = ?, first = ?, last = ?, digest = ? "
                           "WHERE id = ?");
    update.Bind(1, static_cast<std::int64_t>(samples.size()))
        .Bind(2, first)
        .Bind(3, last)
        .Bind(4, static_cast<std::int64_t>(digest))
        .Bind(5, version.id);
    return update.Run();
  }

  Result<std::int64_t> AddRun(const DecodedRun& run, std::uint64_t digest, bool conflict) {
    DateTime first = 0;
    DateTime last = 0;
    SampleSpan(run.samples, &first, &last);
    SqliteStatement insert(db_,
                           "INSERT INTO runs(instrument_id, start_minute, start, sample_count, "
                           "first, last, digest, conflict) VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    insert.Bind(1, instrument_)
        .Bind(2, RunStartMinute(run.start))
        .Bind(3, run.start)
        .Bind(4, static_cast<std::int64_t>(run.samples.size()))
        .Bind(5, first)
        .Bind(6, last)
        .Bind(7, static_cast<std::int64_t>(digest))
        .Bind(8, std::int64_t{conflict ? 1 : 0});
    if (Result<> done = insert.Run(); !done) return done.failure();
    const std::int64_t id = sqlite3_last_insert_rowid(db_);
    if (Result<> added = InsertSamples(id, run.samples, 0); !added) return added.failure();
    return id;
  }

  Result<> Link(std::int64_t run) {
    link_.Reset();
    link_.Bind(1, run).Bind(2, download_);
    return link_.Run();
  }

  sqlite3* db_;
  std::int64_t instrument_;
  std::int64_t download_;
  SqliteStatement findVersions_;
  SqliteStatement insertSample_;
  SqliteStatement link_;
};

// The instrument's id, made when new; a name already used for another
// model is refused, so two instruments never share runs.
Result<std::int64_t> InstrumentId(sqlite3* db, const std::string& name, InstrumentModel model,
                                  double calibration) {
  SqliteStatement find(db, "SELECT id, model FROM instruments WHERE name = ?");
  find.Bind(1, name);
  if (find.Next()) {
    if (find.Text(1) != ModelName(model)) {
      return Fail("the instrument " + name + " is a " + find.Text(1) + ", this file comes from a " +
                  ModelName(model));
    }
    return find.Int(0);
  }
  if (Result<> read = find.Finished(); !read) return read.failure();
  SqliteStatement insert(db, "INSERT INTO instruments(name, model, calibration) VALUES(?, ?, ?)");
  insert.Bind(1, name).Bind(2, std::string_view(ModelName(model))).Bind(3, calibration);
  if (Result<> done = insert.Run(); !done) return done.failure();
  return sqlite3_last_insert_rowid(db);
}

}  // namespace

Result<ImportCounts> HistoryStore::Import(const ImportSource& source, const DecodedFile& file) {
  if (Result<> ok = Writable(); !ok) return ok.failure();
  ImportCounts counts;
  SqliteTransaction transaction(db_);
  if (Result<> began = transaction.Begin(); !began) return Fail(BusyOr(db_, began.error()));
  sqlite3* db = db_.Handle();

  std::int64_t download = 0;
  {
    SqliteStatement find(db, "SELECT id FROM downloads WHERE content_hash = ?");
    find.Bind(1, source.contentHash);
    if (find.Next()) {
      download = find.Int(0);
      counts.alreadyKnown = true;
    }
    if (Result<> read = find.Finished(); !read) return read.failure();
  }
  if (!counts.alreadyKnown) {
    const Result<std::int64_t> instrument =
        InstrumentId(db, source.instrument, file.model, file.calibrationFactor);
    if (!instrument) return instrument.failure();
    SqliteStatement insert(db,
                           "INSERT INTO downloads(instrument_id, path, content_hash, taken_at, "
                           "kept, calibration_factor) VALUES(?, ?, ?, ?, ?, ?)");
    insert.Bind(1, instrument.value())
        .Bind(2, source.path)
        .Bind(3, source.contentHash)
        .Bind(4, source.takenAt)
        .Bind(5, std::int64_t{source.kept ? 1 : 0})
        .Bind(6, file.calibrationFactor);
    if (Result<> done = insert.Run(); !done) return Fail(BusyOr(db_, done.error()));
    download = sqlite3_last_insert_rowid(db);
    Importer importer(db, instrument.value(), download);
    for (const DecodedRun& run : file.runs) {
      if (Result<> taken = importer.Take(run, counts); !taken) {
        return Fail(BusyOr(db_, taken.error()));
      }
      if (importStepHook_) importStepHook_();
    }
  }
  // The same bytes under another name: only the name is noted, so the
  // kept-downloads folder is not read again for it.
  SqliteStatement name(db, "INSERT OR IGNORE INTO download_files(path, download_id) VALUES(?, ?)");
  name.Bind(1, source.path).Bind(2, download);
  if (Result<> done = name.Run(); !done) return Fail(BusyOr(db_, done.error()));
  // Runs that came (back) may have words waiting for them in annotations.tsv;
  // a kept download is taken even when that file cannot be read. A store
  // being made again gets them all at once, counted, from FillHistory.
  if (counts.newRuns + counts.conflictRuns > 0 && !awaitsRestore_) {
    const Result<> applied = ApplyWaitingAnnotations();
    if (!applied && !source.kept) return Fail(applied.error() + "; nothing was imported");
  }
  // A file from elsewhere is in no kept download: its name is kept with the
  // user's words, so that a rebuilt history reads it again.
  if (!source.kept) {
    if (Result<> kept = KeepAnnotations(); !kept)
      return Fail(kept.error() + "; nothing was imported");
  }
  if (Result<> done = transaction.Commit(); !done) return Fail(BusyOr(db_, done.error()));
  return counts;
}

}  // namespace kestrum
