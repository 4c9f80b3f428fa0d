// SPDX-License-Identifier: GPL-3.0-or-later
// What the history holds, read back: instruments, runs and samples.
#include <algorithm>
#include <cmath>

#include "history/history_store.h"
#include "records/date_time.h"

namespace kestrum {
namespace {

// A version-1 store read without migration has no shift: every run's is 0.
std::string RunColumns(bool shifted) {
  return std::string(
             "SELECT r.id, i.name, i.model, r.start, r.first, r.last, r.sample_count, "
             "r.conflict, r.excluded, r.site, r.note, r.start_minute, "
             "(SELECT count(*) FROM run_downloads d WHERE d.run_id = r.id), ") +
         (shifted ? "r.time_shift, " : "0, ") +
         "(SELECT min(d.taken_at) FROM run_downloads rd JOIN downloads d ON "
         "d.id = rd.download_id WHERE rd.run_id = r.id) " +
         "FROM runs r JOIN instruments i ON i.id = r.instrument_id ";
}

struct RunRow {
  HistoryRun run;
  std::int64_t startMinute = 0;  // the original's: versions of one run share it
};

// A stamp of 0 is no time (no sample, or a sample without a measurement) and stays so.
// The store writes only the four model names.
InstrumentModel StoredModel(const std::string& name) {
  return ModelNamed(name).value_or(InstrumentModel::K5);
}

DateTime Shifted(DateTime time, DateTime shift) {
  return time == 0 ? 0 : time + shift;
}

RunRow ReadRun(const SqliteStatement& row) {
  RunRow out;
  HistoryRun& run = out.run;
  run.id = row.Int(0);
  run.instrument = row.Text(1);
  run.model = StoredModel(row.Text(2));
  run.timeShift = row.Real(13);
  run.redated = run.timeShift != 0;
  run.start = row.Real(3) + run.timeShift;
  run.first = Shifted(row.Real(4), run.timeShift);
  run.last = Shifted(row.Real(5), run.timeShift);
  run.samples = static_cast<int>(row.Int(6));
  run.conflict = row.Int(7) != 0;
  run.excluded = row.Int(8) != 0;
  run.site = row.Text(9);
  run.note = row.Text(10);
  out.startMinute = row.Int(11);
  run.downloads = static_cast<int>(row.Int(12));
  run.clockUnset = StartsWithClockUnset(run.start);
  // Dated after the download that first brought it: the PC's clock was
  // behind the instrument's, or the instrument's ahead.
  // A download time of 0 is not known.
  run.future = !run.redated && !row.IsNull(14) && row.Real(14) > 0 &&
               run.start - row.Real(14) > kOneHour / 60;
  return out;
}

// Runs of one instrument that share time, other than the versions of one
// run (same start), which are marked as conflicts instead.
void MarkOverlaps(std::vector<RunRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) {
      RunRow& a = rows[i];
      RunRow& b = rows[j];
      if (a.run.instrument != b.run.instrument || a.startMinute == b.startMinute) continue;
      if (a.run.samples == 0 || b.run.samples == 0) continue;
      // A sample is the hour before its stamp.
      const bool share = a.run.first - kOneHour < b.run.last && b.run.first - kOneHour < a.run.last;
      if (share) a.run.overlaps = b.run.overlaps = true;
    }
  }
}

}  // namespace

Result<std::vector<HistoryInstrument>> HistoryStore::Instruments() {
  std::vector<HistoryInstrument> out;
  const std::string sql =
      std::string(
          "SELECT i.id, i.name, i.model, i.calibration, "
          "(SELECT count(*) FROM runs r WHERE r.instrument_id = i.id), ") +
      (HasVersion2Columns() ? "i.calibration_uncertainty, " : "NULL, ") +
      (HasVersion3Columns() ? "i.calibrated_on, i.certificate, i.interval_months, "
                              "i.register_note "
                            : "NULL, '', 12, '' ") +
      "FROM instruments i ORDER BY i.name";
  SqliteStatement select(db_.Handle(), sql.c_str());
  while (select.Next()) {
    HistoryInstrument instrument;
    instrument.id = select.Int(0);
    instrument.name = select.Text(1);
    instrument.model = StoredModel(select.Text(2));
    instrument.calibrationFactor = select.Real(3);
    instrument.runs = static_cast<int>(select.Int(4));
    if (!select.IsNull(5)) instrument.calibrationUncertainty = select.Real(5);
    if (!select.IsNull(6)) instrument.entry.calibratedOn = select.Real(6);
    instrument.entry.certificate = select.Text(7);
    instrument.entry.intervalMonths = static_cast<int>(select.Int(8));
    instrument.entry.note = select.Text(9);
    out.push_back(std::move(instrument));
  }
  if (Result<> read = select.Finished(); !read) return read.failure();
  return out;
}

Result<std::optional<HistoryInstrument>> HistoryStore::FindInstrument(const std::string& name) {
  Result<std::vector<HistoryInstrument>> instruments = Instruments();
  if (!instruments) return instruments.failure();
  for (HistoryInstrument& instrument : instruments.value()) {
    if (instrument.name == name) return {std::move(instrument)};
  }
  return {std::nullopt};
}

Result<std::vector<HistoryRun>> HistoryStore::Runs(const std::string& instrument) {
  std::vector<RunRow> rows;
  const bool shifted = HasVersion2Columns();
  const std::string sql =
      RunColumns(shifted) + (instrument.empty() ? "" : "WHERE i.name = ? ") +
      (shifted ? "ORDER BY r.start + r.time_shift, r.id" : "ORDER BY r.start, r.id");
  SqliteStatement select(db_.Handle(), sql.c_str());
  if (!instrument.empty()) select.Bind(1, instrument);
  while (select.Next()) rows.push_back(ReadRun(select));
  if (Result<> read = select.Finished(); !read) return read.failure();
  MarkOverlaps(rows);
  std::vector<HistoryRun> runs;
  runs.reserve(rows.size());
  for (RunRow& row : rows) runs.push_back(std::move(row.run));
  return runs;
}

Result<std::optional<HistoryRun>> HistoryStore::FindRun(std::int64_t id) {
  SqliteStatement select(db_.Handle(),
                         "SELECT i.name FROM runs r JOIN instruments i ON "
                         "i.id = r.instrument_id WHERE r.id = ?");
  select.Bind(1, id);
  if (!select.Next()) {
    if (Result<> read = select.Finished(); !read) return read.failure();
    return {std::nullopt};
  }
  // Through the instrument's list, so the marks are those of every listing.
  Result<std::vector<HistoryRun>> runs = Runs(select.Text(0));
  if (!runs) return runs.failure();
  for (HistoryRun& run : runs.value()) {
    if (run.id == id) return {std::move(run)};
  }
  return {std::nullopt};
}

Result<std::vector<HistorySample>> HistoryStore::Samples(std::int64_t run) {
  std::vector<HistorySample> samples;
  DateTime shift = 0;
  if (HasVersion2Columns()) {
    SqliteStatement select(db_.Handle(), "SELECT time_shift FROM runs WHERE id = ?");
    select.Bind(1, run);
    if (select.Next()) shift = select.Real(0);
    if (Result<> read = select.Finished(); !read) return read.failure();
  }
  SqliteStatement select(db_.Handle(),
                         "SELECT time, concentration, error, pulses, temperature, humidity, "
                         "pressure FROM samples WHERE run_id = ? ORDER BY idx");
  select.Bind(1, run);
  while (select.Next()) {
    samples.push_back({Shifted(select.Real(0), shift), select.Real(1), select.Real(2),
                       select.Real(3), select.Real(4), select.Real(5), select.Real(6)});
  }
  if (Result<> read = select.Finished(); !read) return read.failure();
  return samples;
}

Result<std::vector<std::string>> HistoryStore::DownloadsOf(std::int64_t run) {
  std::vector<std::string> paths;
  SqliteStatement select(db_.Handle(),
                         "SELECT f.path FROM run_downloads rd JOIN downloads d ON "
                         "d.id = rd.download_id JOIN download_files f ON f.download_id = d.id "
                         "WHERE rd.run_id = ? ORDER BY d.taken_at, d.id, f.path <> d.path, f.path");
  select.Bind(1, run);
  while (select.Next()) paths.push_back(select.Text(0));
  if (Result<> read = select.Finished(); !read) return read.failure();
  return paths;
}

Result<std::vector<FactorChange>> HistoryStore::FactorChanges(const std::string& instrument) {
  std::vector<FactorChange> changes;
  if (!HasVersion3Columns()) return changes;
  SqliteStatement select(
      db_.Handle(),
      "SELECT d.calibration_factor, d.taken_at FROM downloads d JOIN instruments "
      "i ON i.id = d.instrument_id WHERE i.name = ? AND d.kept = 1 AND "
      "d.calibration_factor IS NOT NULL ORDER BY d.taken_at, d.id");
  select.Bind(1, instrument);
  std::optional<std::pair<double, DateTime>> previous;
  while (select.Next()) {
    const double factor = select.Real(0);
    const DateTime at = select.Real(1);
    // The image holds the factor to two decimals.
    if (previous && std::abs(factor - previous->first) > 0.005) {
      changes.push_back({previous->first, factor, previous->second, at});
    }
    previous = {factor, at};
  }
  if (Result<> read = select.Finished(); !read) return read.failure();
  return changes;
}

Result<bool> HistoryStore::KnowsPath(const std::string& path) {
  SqliteStatement select(db_.Handle(), "SELECT 1 FROM download_files WHERE path = ?");
  select.Bind(1, path);
  return HasRow(select);
}

Result<bool> HistoryStore::KnowsContent(const std::string& contentHash) {
  SqliteStatement select(db_.Handle(), "SELECT 1 FROM downloads WHERE content_hash = ?");
  select.Bind(1, contentHash);
  return HasRow(select);
}

}  // namespace kestrum
