// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What only the user put into the history (sites, notes, exclusions,
// re-dated clocks, the instrument register, the sites' clients, files imported from elsewhere
// and the activity log), as a plain UTF-8 text file beside the store,
// "annotations.tsv". The store is an index that can be built again from
// the kept downloads; this file is what lets the rebuilt one hold the
// user's words again. One record per line, fields split by tabs; a tab,
// line end or backslash inside a field is written \t, \n, \r or \\, a byte
// that is not UTF-8 as \xNN.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/date_time.h"
#include "records/result.h"

namespace kestrum {

inline constexpr char kAnnotationsFileName[] = "annotations.tsv";

// A run, told apart across rebuilds by its instrument, its start to the
// minute as the instrument gave it, and which version of that start it is
// (conflicting versions share a start; they are taken in import order).
struct RunKey {
  std::string instrument;
  std::int64_t startMinute = 0;
  int version = 0;
  bool operator==(const RunKey& o) const {
    return instrument == o.instrument && startMinute == o.startMinute && version == o.version;
  }
};

struct RunAnnotation {
  RunKey key;
  std::string site;
  std::string note;
  bool excluded = false;
  DateTime timeShift = 0;
  bool Empty() const { return site.empty() && note.empty() && !excluded && timeShift == 0; }
};

struct InstrumentAnnotation {
  std::string name;
  std::optional<double> calibrationUncertainty;
  std::optional<DateTime> calibratedOn;
  std::string certificate;
  int intervalMonths = 12;
  std::string note;
  bool RegisterEmpty() const {
    return !calibratedOn && certificate.empty() && intervalMonths == 12 && note.empty();
  }
};

// The client and address of a site.
struct SiteClientAnnotation {
  std::string site;
  std::string client;
  std::string address;
};

struct ImportedFile {
  std::string instrument;
  std::string path;  // as the system's bytes
};

struct AnnotatedActivity {
  DateTime at = 0;
  std::string kind;
  std::string instrument;
  std::string text;
};

struct Annotations {
  std::vector<RunAnnotation> runs;
  std::vector<InstrumentAnnotation> instruments;
  std::vector<SiteClientAnnotation> clients;
  std::vector<ImportedFile> files;
  std::vector<AnnotatedActivity> activity;  // oldest first
};

// What a rebuild put back, and what waits for its data.
struct AnnotationRestore {
  int sites = 0;
  int notes = 0;
  int exclusions = 0;
  int redatings = 0;
  int instruments = 0;
  int clients = 0;
  int activity = 0;
  int files = 0;                          // files from elsewhere imported again
  int waitingRuns = 0;                    // runs no kept download or imported file holds (yet)
  std::vector<std::string> missingFiles;  // imported from elsewhere, gone since
  int unreadLines = 0;
  bool fileFound = false;
};

// "Restored from annotations.tsv: 3 sites, 1 note ...; not restored: ...".
std::string AnnotationRestoreText(const AnnotationRestore& restore);

std::string AnnotationsText(const Annotations& annotations);

struct AnnotationsRead {
  Annotations annotations;
  // Lines that cannot be read are counted, not fatal: one damaged line must
  // not cost the others.
  int unreadLines = 0;
  bool found = true;  // false: there was no file
};

AnnotationsRead ParseAnnotations(std::string_view text);

// Reads and parses the file at path through the guarded read; a missing
// file is no failure. Failures name the path.
Result<AnnotationsRead> ReadAnnotationsFile(const std::string& path);

// A field as written (exposed for the tests of odd bytes).
std::string EscapeAnnotationField(std::string_view field);
std::string UnescapeAnnotationField(std::string_view field);

}  // namespace kestrum
