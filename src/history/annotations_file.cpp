// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/annotations_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "history/history_types.h"
#include "records/date_time_stamp.h"
#include "records/guarded_read.h"
#include "records/utf8_text.h"

namespace kestrum {
namespace {

constexpr char kHeader[] = "kestrum-annotations\t1";

// The file is small text; anything larger is not ours.
constexpr std::size_t kAnnotationsLimit = 64u << 20;

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::optional<double> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', begin);
    fields.push_back(UnescapeAnnotationField(line.substr(begin, tab - begin)));
    if (tab == std::string_view::npos) return fields;
    begin = tab + 1;
  }
}

void AddLine(std::string& out, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (std::string_view field : fields) {
    if (!first) out += '\t';
    out += EscapeAnnotationField(field);
    first = false;
  }
  out += '\n';
}

// The start as the instrument gave it, to the minute.
std::string MinuteText(std::int64_t minute) {
  return DateTimeStamp(static_cast<DateTime>(minute) / 1440.0);
}

bool ReadRun(const std::vector<std::string>& f, Annotations& out) {
  if (f.size() != 8) return false;
  const std::optional<DateTime> start = ParseDateTimeStamp(f[2]);
  const std::optional<double> version = ParseNumber(f[3]);
  const std::optional<double> shift = ParseNumber(f[5]);
  // The instrument's clock counts years 2000 to 2099; a version is a small
  // count, a shift a finite number of days.
  if (!start || SplitDateTime(*start).year < 2000 || SplitDateTime(*start).year > 2099 ||
      !version || !shift || (f[4] != "0" && f[4] != "1") || *version < 0 || *version > 1e6 ||
      *version != std::floor(*version) || !std::isfinite(*shift)) {
    return false;
  }
  RunAnnotation run;
  run.key = {f[1], RunStartMinute(*start), static_cast<int>(*version)};
  run.excluded = f[4] == "1";
  run.timeShift = *shift;
  run.site = f[6];
  run.note = f[7];
  out.runs.push_back(std::move(run));
  return true;
}

// name, uncertainty, then (since the register) calibration day, certificate,
// interval and note.
bool ReadInstrument(const std::vector<std::string>& f, Annotations& out) {
  if (f.size() != 3 && f.size() != 7) return false;
  InstrumentAnnotation instrument;
  instrument.name = f[1];
  if (!f[2].empty()) {
    instrument.calibrationUncertainty = ParseNumber(f[2]);
    if (!instrument.calibrationUncertainty || !std::isfinite(*instrument.calibrationUncertainty))
      return false;
  }
  if (f.size() == 7) {
    if (!f[3].empty()) {
      instrument.calibratedOn = ParseDateTimeStamp(f[3]);
      if (!instrument.calibratedOn) return false;
    }
    const std::optional<double> interval = ParseNumber(f[5]);
    if (!interval || *interval < 1 || *interval > 120 || *interval != std::floor(*interval)) {
      return false;
    }
    instrument.certificate = f[4];
    instrument.intervalMonths = static_cast<int>(*interval);
    instrument.note = f[6];
  }
  out.instruments.push_back(std::move(instrument));
  return true;
}

bool ReadActivity(const std::vector<std::string>& f, Annotations& out) {
  if (f.size() != 5) return false;
  const std::optional<DateTime> at = ParseDateTimeStamp(f[1]);
  if (!at) return false;
  out.activity.push_back({*at, f[2], f[3], f[4]});
  return true;
}

}  // namespace

Result<AnnotationsRead> ReadAnnotationsFile(const std::string& path) {
  const Result<GuardedRead> read = ReadRegularFile(path, kAnnotationsLimit);
  if (!read) return Fail("cannot read " + path + ": " + read.error());
  if (read->truncated) return Fail(path + " is larger than any annotations file; it was not read");
  AnnotationsRead out = ParseAnnotations(read->bytes);
  out.found = !read->missing;
  return out;
}

std::string EscapeAnnotationField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  while (!field.empty()) {
    const char c = field.front();
    const std::size_t length = Utf8SequenceLength(field);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (length == 0 || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      out += hex;
    } else {
      out.append(field.data(), length);
      field.remove_prefix(length);
      continue;
    }
    field.remove_prefix(1);
  }
  return out;
}

std::string UnescapeAnnotationField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    const char next = field[++i];
    if (next == 't') {
      out += '\t';
    } else if (next == 'n') {
      out += '\n';
    } else if (next == 'r') {
      out += '\r';
    } else if (next == 'x' && i + 2 < field.size()) {
      const std::string hex(field.substr(i + 1, 2));
      char* end = nullptr;
      const long value = std::strtol(hex.c_str(), &end, 16);
      if (end == hex.c_str() + 2) {
        out += static_cast<char>(value);
        i += 2;
      } else {
        out += next;
      }
    } else {
      out += next;
    }
  }
  return out;
}

std::string AnnotationRestoreText(const AnnotationRestore& r) {
  if (!r.fileFound) {
    return std::string("No ") + kAnnotationsFileName +
           " was found: sites, notes, exclusions, re-datings, the instrument register and the "
           "activity log of the old history could not be restored.";
  }
  std::vector<std::string> parts;
  const auto count = [&](int n, const char* one, const char* many) {
    if (n > 0) parts.push_back(std::to_string(n) + " " + (n == 1 ? one : many));
  };
  count(r.sites, "site", "sites");
  count(r.notes, "note", "notes");
  count(r.exclusions, "exclusion", "exclusions");
  count(r.redatings, "re-dating", "re-datings");
  count(r.instruments, "instrument entry", "instrument entries");
  count(r.clients, "site's client", "sites' clients");
  count(r.files, "file from elsewhere", "files from elsewhere");
  count(r.activity, "activity entry", "activity entries");
  std::string text = std::string("Restored from ") + kAnnotationsFileName + ": ";
  if (parts.empty()) text += "nothing was there to restore";
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i == 0 ? "" : ", ") + parts[i];
  text += ".";
  if (r.waitingRuns > 0) {
    text += " Not restored: what was written about " + std::to_string(r.waitingRuns) +
            (r.waitingRuns == 1 ? " run" : " runs") +
            " that no kept download holds; it stays in the file and returns when the data "
            "file is added to the history.";
  }
  if (!r.missingFiles.empty()) {
    text += " Not found again: " + std::to_string(r.missingFiles.size()) +
            (r.missingFiles.size() == 1 ? " file" : " files") + " once imported from elsewhere (";
    for (std::size_t i = 0; i < r.missingFiles.size() && i < 3; ++i) {
      text += (i == 0 ? "" : ", ") + r.missingFiles[i];
    }
    text += r.missingFiles.size() > 3 ? ", ...)." : ").";
  }
  if (r.unreadLines > 0) {
    text += " " + std::to_string(r.unreadLines) + (r.unreadLines == 1 ? " line" : " lines") +
            " of the file could not be read.";
  }
  return text;
}

std::string AnnotationsText(const Annotations& a) {
  std::string out =
      "# What only the user put into the Kestrum history, kept beside it so that a\n"
      "# history built again from the kept downloads has it again. Edit with care.\n";
  out += kHeader;
  out += '\n';
  for (const RunAnnotation& r : a.runs) {
    AddLine(out,
            {"run", r.key.instrument, MinuteText(r.key.startMinute), std::to_string(r.key.version),
             r.excluded ? "1" : "0", Number(r.timeShift), r.site, r.note});
  }
  for (const InstrumentAnnotation& i : a.instruments) {
    AddLine(out, {"instrument", i.name,
                  i.calibrationUncertainty ? Number(*i.calibrationUncertainty) : std::string(),
                  i.calibratedOn ? DateTimeStamp(*i.calibratedOn) : std::string(), i.certificate,
                  std::to_string(i.intervalMonths), i.note});
  }
  for (const SiteClientAnnotation& c : a.clients) {
    AddLine(out, {"client", c.site, c.client, c.address});
  }
  for (const ImportedFile& f : a.files) AddLine(out, {"file", f.instrument, f.path});
  for (const AnnotatedActivity& e : a.activity) {
    AddLine(out, {"activity", DateTimeStamp(e.at), e.kind, e.instrument, e.text});
  }
  return out;
}

AnnotationsRead ParseAnnotations(std::string_view text) {
  AnnotationsRead parsed;
  Annotations& out = parsed.annotations;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(begin, end - begin);
    begin = end + 1;
    if (line.empty() || line.front() == '#' || line == kHeader) continue;
    const std::vector<std::string> f = SplitFields(line);
    bool read = false;
    if (f[0] == "run") {
      read = ReadRun(f, out);
    } else if (f[0] == "instrument") {
      read = ReadInstrument(f, out);
    } else if (f[0] == "client" && f.size() == 4) {
      out.clients.push_back({f[1], f[2], f[3]});
      read = true;
    } else if (f[0] == "file" && f.size() == 3) {
      out.files.push_back({f[1], f[2]});
      read = true;
    } else if (f[0] == "activity") {
      read = ReadActivity(f, out);
    }
    if (!read) ++parsed.unreadLines;
  }
  return parsed;
}

}  // namespace kestrum
