// SPDX-License-Identifier: GPL-3.0-or-later
// What only the user added, kept in annotations.tsv beside the store and
// put back into a store built again.
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "history/history_store.h"
#include "records/checked_file.h"
#include "records/date_time_stamp.h"

namespace kestrum {
namespace {

using KeyTuple = std::tuple<std::string, std::int64_t, int>;

KeyTuple Tuple(const RunKey& key) {
  return {key.instrument, key.startMinute, key.version};
}

// Every run's key with its id, in key order.
Result<std::map<KeyTuple, std::int64_t>> RunKeys(sqlite3* db) {
  std::map<KeyTuple, std::int64_t> keys;
  SqliteStatement select(db,
                         "SELECT i.name, r.start_minute, r.id FROM runs r JOIN instruments i ON "
                         "i.id = r.instrument_id ORDER BY i.name, r.start_minute, r.id");
  std::string instrument;
  std::int64_t minute = 0;
  int version = 0;
  while (select.Next()) {
    const std::string name = select.Text(0);
    const std::int64_t start = select.Int(1);
    version = (name == instrument && start == minute) ? version + 1 : 0;
    instrument = name;
    minute = start;
    keys[{name, start, version}] = select.Int(2);
  }
  if (Result<> read = select.Finished(); !read) return read.failure();
  return keys;
}

}  // namespace

std::string HistoryStore::AnnotationsPath() const {
  return PathInFolder(std::filesystem::path(path_).parent_path().string(), kAnnotationsFileName);
}

Result<Annotations> HistoryStore::CollectAnnotations() {
  Annotations out;
  sqlite3* db = db_.Handle();
  const Result<std::map<KeyTuple, std::int64_t>> keys = RunKeys(db);
  if (!keys) return keys.failure();
  std::map<std::int64_t, RunKey> keyOf;
  for (const auto& [key, id] : keys.value()) {
    keyOf[id] = {std::get<0>(key), std::get<1>(key), std::get<2>(key)};
  }
  const bool v2 = HasVersion2Columns();
  SqliteStatement runs(db, v2 ? "SELECT id, site, note, excluded, time_shift FROM runs WHERE "
                                "site <> '' OR note <> '' OR excluded <> 0 OR time_shift <> 0"
                              : "SELECT id, site, note, excluded, 0 FROM runs WHERE "
                                "site <> '' OR note <> '' OR excluded <> 0");
  while (runs.Next()) {
    const auto key = keyOf.find(runs.Int(0));
    if (key == keyOf.end()) continue;
    out.runs.push_back({key->second, runs.Text(1), runs.Text(2), runs.Int(3) != 0, runs.Real(4)});
  }
  if (Result<> read = runs.Finished(); !read) return read.failure();
  std::sort(out.runs.begin(), out.runs.end(), [](const RunAnnotation& a, const RunAnnotation& b) {
    return Tuple(a.key) < Tuple(b.key);
  });
  const Result<std::vector<HistoryInstrument>> instruments = Instruments();
  if (!instruments) return instruments.failure();
  for (const HistoryInstrument& i : instruments.value()) {
    InstrumentAnnotation a{i.name,
                           i.calibrationUncertainty,
                           i.entry.calibratedOn,
                           i.entry.certificate,
                           i.entry.intervalMonths,
                           i.entry.note};
    if (a.calibrationUncertainty || !a.RegisterEmpty()) out.instruments.push_back(std::move(a));
  }
  if (HasVersion4Tables()) {
    SqliteStatement clients(db, "SELECT site, client, address FROM site_clients ORDER BY site");
    while (clients.Next())
      out.clients.push_back({clients.Text(0), clients.Text(1), clients.Text(2)});
    if (Result<> read = clients.Finished(); !read) return read.failure();
  }
  SqliteStatement files(db,
                        "SELECT i.name, f.path FROM download_files f JOIN downloads d ON "
                        "d.id = f.download_id JOIN instruments i ON i.id = d.instrument_id "
                        "WHERE d.kept = 0 ORDER BY d.id, f.path");
  while (files.Next()) out.files.push_back({files.Text(0), files.Text(1)});
  if (Result<> read = files.Finished(); !read) return read.failure();
  SqliteStatement activity(db, "SELECT at, kind, instrument, text FROM activity ORDER BY id");
  while (activity.Next()) {
    out.activity.push_back(
        {activity.Real(0), activity.Text(1), activity.Text(2), activity.Text(3)});
  }
  if (Result<> read = activity.Finished(); !read) return read.failure();
  return out;
}

Result<> HistoryStore::KeepAnnotations() {
  Result<Annotations> collected = CollectAnnotations();
  if (!collected) return collected.failure();
  Annotations& now = collected.value();
  const Result<AnnotationsRead> read = ReadAnnotationsFile(AnnotationsPath());
  if (!read) return read.failure();
  const Annotations* before = &read->annotations;
  // What the file holds for runs, instruments and files the store lacks
  // waits there for the data that brings them back.
  const Result<std::map<KeyTuple, std::int64_t>> keys = RunKeys(db_.Handle());
  if (!keys) return keys.failure();
  for (const RunAnnotation& run : before->runs) {
    if (keys->count(Tuple(run.key)) == 0) now.runs.push_back(run);
  }
  std::set<std::string> instruments;
  {
    SqliteStatement names(db_.Handle(), "SELECT name FROM instruments");
    while (names.Next()) instruments.insert(names.Text(0));
    if (Result<> read = names.Finished(); !read) return read.failure();
  }
  for (const InstrumentAnnotation& instrument : before->instruments) {
    if (instruments.count(instrument.name) == 0) now.instruments.push_back(instrument);
  }
  std::set<std::string> paths;
  for (const ImportedFile& file : now.files) paths.insert(file.path);
  for (const ImportedFile& file : before->files) {
    if (paths.insert(file.path).second) now.files.push_back(file);
  }
  const Result<> written = WriteFileReplacing(AnnotationsPath(), AnnotationsText(now));
  if (!written) return Fail("cannot write " + AnnotationsPath() + ": " + written.error());
  return {};
}

Result<> HistoryStore::ChangeKept(const std::function<Result<>()>& change) {
  if (Result<> ok = Writable(); !ok) return ok;
  SqliteTransaction transaction(db_);
  if (Result<> began = transaction.Begin(); !began) {
    if (IsBusyCode(db_.LastCode())) {
      return Fail("the history is busy: another Kestrum program is writing to it; try again");
    }
    return Fail("cannot write the history: " + began.error());
  }
  if (Result<> changed = change(); !changed) return changed;
  if (Result<> kept = KeepAnnotations(); !kept) {
    return Fail(kept.error() + "; nothing was changed");
  }
  if (Result<> done = transaction.Commit(); !done) {
    return Fail("cannot write the history: " + done.error());
  }
  return {};
}

Result<AnnotationRestore> HistoryStore::RestoreAnnotations(const Annotations& from,
                                                           bool withActivity) {
  AnnotationRestore restore;
  const Result<> done =
      ChangeKept([&]() -> Result<> { return ApplyAnnotations(from, withActivity, restore); });
  if (!done) return done.failure();
  restore.fileFound = true;
  return restore;
}

Result<> HistoryStore::ApplyWaitingAnnotations() {
  const Result<AnnotationsRead> waiting = ReadAnnotationsFile(AnnotationsPath());
  if (!waiting) return waiting.failure();
  if (!waiting->found || waiting->annotations.runs.empty()) return {};
  AnnotationRestore ignored;
  return ApplyAnnotations(waiting->annotations, false, ignored);
}

Result<> HistoryStore::ApplyAnnotations(const Annotations& from, bool withActivity,
                                        AnnotationRestore& restore) {
  {
    sqlite3* db = db_.Handle();
    const Result<std::map<KeyTuple, std::int64_t>> read = RunKeys(db);
    if (!read) return read.failure();
    const std::map<KeyTuple, std::int64_t>& keys = read.value();
    SqliteStatement current(db, "SELECT site, note, excluded, time_shift FROM runs WHERE id = ?");
    SqliteStatement update(db,
                           "UPDATE runs SET site = ?, note = ?, excluded = ?, time_shift = ? "
                           "WHERE id = ?");
    for (const RunAnnotation& run : from.runs) {
      const auto key = keys.find(Tuple(run.key));
      if (key == keys.end()) {
        ++restore.waitingRuns;
        continue;
      }
      current.Reset();
      current.Bind(1, key->second);
      if (!current.Next()) return Fail(current.Failed() ? current.Error() : "a run went away");
      const bool untouched = current.Text(0).empty() && current.Text(1).empty() &&
                             current.Int(2) == 0 && current.Real(3) == 0;
      if (!untouched) continue;
      update.Reset();
      update.Bind(1, run.site)
          .Bind(2, run.note)
          .Bind(3, std::int64_t{run.excluded ? 1 : 0})
          .Bind(4, run.timeShift)
          .Bind(5, key->second);
      if (Result<> set = update.Run(); !set) return set;
      restore.sites += run.site.empty() ? 0 : 1;
      restore.notes += run.note.empty() ? 0 : 1;
      restore.exclusions += run.excluded ? 1 : 0;
      restore.redatings += run.timeShift != 0 ? 1 : 0;
    }
    SqliteStatement instrument(db,
                               "UPDATE instruments SET calibration_uncertainty = ? WHERE name = ? "
                               "AND calibration_uncertainty IS NULL");
    // The register's entry goes back where the store has none of its own.
    SqliteStatement entry(db,
                          "UPDATE instruments SET calibrated_on = ?, certificate = ?, "
                          "interval_months = ?, register_note = ? WHERE name = ? AND "
                          "calibrated_on IS NULL AND certificate = '' AND interval_months = 12 "
                          "AND register_note = ''");
    for (const InstrumentAnnotation& i : from.instruments) {
      bool restored = false;
      if (i.calibrationUncertainty) {
        instrument.Reset();
        instrument.Bind(1, *i.calibrationUncertainty).Bind(2, i.name);
        if (Result<> set = instrument.Run(); !set) return set;
        restored = sqlite3_changes(db) > 0;
      }
      if (!i.RegisterEmpty()) {
        entry.Reset();
        if (i.calibratedOn) {
          entry.Bind(1, *i.calibratedOn);
        } else {
          entry.BindNull(1);
        }
        entry.Bind(2, i.certificate)
            .Bind(3, std::int64_t{i.intervalMonths})
            .Bind(4, i.note)
            .Bind(5, i.name);
        if (Result<> set = entry.Run(); !set) return set;
        restored = restored || sqlite3_changes(db) > 0;
      }
      restore.instruments += restored ? 1 : 0;
    }
    // A client given since wins over the file's.
    SqliteStatement client(db,
                           "INSERT OR IGNORE INTO site_clients(site, client, address) "
                           "VALUES(?, ?, ?)");
    for (const SiteClientAnnotation& c : from.clients) {
      if (c.client.empty() && c.address.empty()) continue;
      client.Reset();
      client.Bind(1, c.site).Bind(2, c.client).Bind(3, c.address);
      if (Result<> set = client.Run(); !set) return set;
      restore.clients += sqlite3_changes(db) > 0 ? 1 : 0;
    }
    if (withActivity) {
      // What the new store logged already (the download that made it) is not logged twice.
      std::set<std::tuple<std::string, std::string, std::string, std::string>> logged;
      SqliteStatement held(db, "SELECT at, kind, instrument, text FROM activity");
      while (held.Next()) {
        logged.insert({DateTimeStamp(held.Real(0)), held.Text(1), held.Text(2), held.Text(3)});
      }
      if (Result<> read = held.Finished(); !read) return read;
      SqliteStatement insert(db,
                             "INSERT INTO activity(at, kind, instrument, text) VALUES(?, ?, ?, ?)");
      for (const AnnotatedActivity& e : from.activity) {
        if (logged.count({DateTimeStamp(e.at), e.kind, e.instrument, e.text}) > 0) continue;
        insert.Reset();
        insert.Bind(1, e.at).Bind(2, e.kind).Bind(3, e.instrument).Bind(4, e.text);
        if (Result<> added = insert.Run(); !added) return added;
        ++restore.activity;
      }
    }
    return {};
  }
}

}  // namespace kestrum
