// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the measurement history holds: instruments, their measuring runs as
// merged across downloads, the hourly samples of each run, and the activity
// log of what the user did.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/date_time.h"
#include "records/decoded_file.h"
#include "records/hourly_sample.h"
#include "records/instrument_model.h"
#include "records/measurement_store.h"

namespace kestrum {

// One hourly sample, as the decoder gave it.
using HistorySample = HourlySample;

// What, with the instrument, tells a run: its start to the minute.
inline std::int64_t RunStartMinute(DateTime start) {
  return std::llround(start * 1440.0);
}

// A run that starts in the year 2000 was recorded with the instrument's
// clock never set.
inline bool StartsWithClockUnset(DateTime start) {
  return SplitDateTime(start).year == 2000;
}

// Where a decoded file came from.
struct ImportSource {
  std::string instrument;  // "K8-FT12AB34", or the name the user gave
  std::string path;        // as the system's bytes
  std::string contentHash;
  DateTime takenAt = 0;  // when downloaded (kept downloads) or imported
  bool kept = false;     // a kept download, not a file from elsewhere
};

// What one import changed.
struct ImportCounts {
  bool alreadyKnown = false;  // the same bytes were imported before: nothing changed
  int newRuns = 0;
  int grownRuns = 0;     // a known run with more samples than before
  int sameRuns = 0;      // a known run, nothing new
  int conflictRuns = 0;  // a version that disagrees with what was known
  int newSamples = 0;
};

// What the owner keeps about an instrument's calibration, beside its
// uncertainty (HistoryInstrument::calibrationUncertainty).
struct InstrumentRegister {
  std::optional<DateTime> calibratedOn;  // the day of the last calibration
  std::string certificate;               // the certificate's reference
  int intervalMonths = 12;               // how long a calibration holds
  std::string note;
};

// Whom a site's tests are for, asked once and kept with the site.
struct SiteClient {
  std::string client;
  std::string address;
  bool Empty() const { return client.empty() && address.empty(); }
};

struct HistoryInstrument {
  std::int64_t id = 0;
  std::string name;
  InstrumentModel model = InstrumentModel::K5;
  double calibrationFactor = 6.0;
  std::optional<double> calibrationUncertainty;  // percent; empty when not given
  InstrumentRegister entry;                      // the register's entry
  int runs = 0;
};

// Two downloads one after the other whose images carry different
// calibration factors: the instrument was calibrated between them.
struct FactorChange {
  double from = 0;
  double to = 0;
  DateTime before = 0;  // when the download with the old factor was taken
  DateTime after = 0;   // ... and the one with the new
};

// Times as corrected by the run's shift: the store keeps the instrument's
// own times, and every reader sees the re-dated ones.
struct HistoryRun {
  std::int64_t id = 0;
  std::string instrument;
  InstrumentModel model = InstrumentModel::K5;
  DateTime start = 0;
  DateTime first = 0;  // first and last sample time (0 when it has none)
  DateTime last = 0;
  DateTime timeShift = 0;  // days added to every time of the run (Redate)
  bool redated = false;
  int samples = 0;
  int downloads = 0;        // the data files that hold it
  bool conflict = false;    // another version with the same start disagrees
  bool excluded = false;    // left out of summaries by the user
  bool overlaps = false;    // shares time with another run of the instrument
  bool clockUnset = false;  // starts in the year 2000 (after the shift): the clock was not set
  bool future = false;      // dated after the download that brought it (and not re-dated)
  std::string site;
  std::string note;
};

struct ActivityEntry {
  DateTime at = 0;
  std::string kind;  // "download", "clock", "erase", "level", "import", "history"
  std::string instrument;
  std::string text;
};

}  // namespace kestrum
