// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool history rebuild | import | site | note | exclude | redate | instrument:
// what changes the history.
#include <cmath>
#include <filesystem>

#include "assessment/calibration_state.h"
#include "history/activity_log.h"
#include "history/history_files.h"
#include "history/history_fill.h"
#include "history/register_text.h"
#include "records/kept_downloads.h"
#include "records/program_data_folder.h"
#include "tool/history_output.h"
#include "tool/history_request.h"
#include "tool/reported.h"
#include "tool/summary_output.h"

namespace kestrum::tool {
namespace {

struct ImportTally {
  int files = 0;
  int failed = 0;
  int imported = 0;  // files whose bytes were new
  ImportCounts counts;
};

// Each file's line (skipped files on stderr), summed up.
ImportTally PrintImports(const std::vector<FileImport>& imports, ToolIo& io) {
  ImportTally tally;
  for (const FileImport& import : imports) {
    ++tally.files;
    if (!import.counts) {
      ++tally.failed;
      io.err << ImportLine(import) << "\n";
      continue;
    }
    io.out << ImportLine(import) << "\n";
    const ImportCounts& c = import.counts.value();
    if (c.alreadyKnown) continue;
    ++tally.imported;
    tally.counts.newRuns += c.newRuns;
    tally.counts.grownRuns += c.grownRuns;
    tally.counts.newSamples += c.newSamples;
  }
  return tally;
}

// The run named by the first word, with the store that holds it.
struct NamedRunOf {
  HistoryStore* store;
  HistoryRun run;
};

Reported<NamedRunOf> NamedRun(HistoryRequest& request) {
  using Named = Reported<NamedRunOf>;
  const std::string& word = request.parsed.positional[0];
  const std::optional<long long> id = ParseWholeNumber(word, 1, INT64_MAX);
  if (!id) {
    return Named::Exit(
        request.Usage("RUN-ID wants a run number of \"history runs\", not \"" + word + "\""));
  }
  HistoryStore* store = request.Store();
  if (!store) return Named::Exit(kExitFailure);
  const Result<std::optional<HistoryRun>> run = store->FindRun(*id);
  if (!run) return Named::Exit(request.Failed(run.error()));
  if (!*run) return Named::Exit(request.NothingMatches("the history holds no run " + word));
  return NamedRunOf{store, **run};
}

// The run's line as the store holds it after a change.
int PrintRunAgain(HistoryRequest& request, HistoryStore& store, std::int64_t id) {
  const Result<std::optional<HistoryRun>> run = store.FindRun(id);
  if (!run) return request.Failed(run.error());
  if (!*run) return request.Failed("run " + std::to_string(id) + " went away");
  request.Io().out << RunLine(**run) << "\n";
  return kExitSuccess;
}

// Site and note: the text as given; exclude: 0 or 1.
int ChangeRun(HistoryRequest& request, Result<> (HistoryStore::*change)(std::int64_t, bool)) {
  const std::string& flag = request.parsed.positional[1];
  if (flag != "0" && flag != "1") return request.Usage("wants 0 or 1, not \"" + flag + "\"");
  const Reported<NamedRunOf> named = NamedRun(request);
  if (!named) return named.ExitCode();
  HistoryStore* store = named->store;
  const HistoryRun* run = &named->run;
  const Result<> changed = (store->*change)(run->id, flag == "1");
  if (!changed) return request.Failed(changed.error());
  return PrintRunAgain(request, *store, run->id);
}

int ChangeRun(HistoryRequest& request,
              Result<> (HistoryStore::*change)(std::int64_t, const std::string&)) {
  const Reported<NamedRunOf> named = NamedRun(request);
  if (!named) return named.ExitCode();
  HistoryStore* store = named->store;
  const HistoryRun* run = &named->run;
  const Result<> changed = (store->*change)(run->id, request.parsed.positional[1]);
  if (!changed) return request.Failed(changed.error());
  return PrintRunAgain(request, *store, run->id);
}

}  // namespace

int HistoryRebuild(HistoryRequest& request) {
  // Opened plainly: opening it for the program would already import what
  // this command is to report.
  HistoryStore* store = request.PlainStore();
  if (!store) return kExitFailure;
  if (store->ReadOnly()) return request.Failed("the history is read-only; nothing was rebuilt");
  const HistoryFill fill = FillHistory(*store, ProgramDataFolder(), request.now);
  const ImportTally tally = PrintImports(fill.imports, request.Io());
  if (tally.imported == 0 && tally.failed == 0 && !fill.restore) {
    request.Io().out << "nothing changed\n";
  } else {
    request.Io().out << "files=" << tally.files << " failed=" << tally.failed
                     << " new_runs=" << tally.counts.newRuns
                     << " grown_runs=" << tally.counts.grownRuns
                     << " new_samples=" << tally.counts.newSamples << "\n";
  }
  if (fill.restore || fill.problem) {
    (fill.problem ? request.Io().err : request.Io().out) << fill.RestoreText() << "\n";
  }
  // A file left out is a history that lacks it: say so in the exit code.
  if (tally.failed > 0) {
    request.Io().err << request.Prefix() << tally.failed
                     << (tally.failed == 1 ? " file was" : " files were")
                     << " skipped; the history lacks what they hold\n";
    return kExitFailure;
  }
  return fill.problem ? kExitFailure : kExitSuccess;
}

int HistoryImport(HistoryRequest& request) {
  const std::string given = request.Option("instrument") ? *request.Option("instrument") : "";
  HistoryStore* store = request.Store();
  if (!store) return kExitFailure;
  const std::vector<FileImport> imports =
      ImportDataFiles(*store, request.parsed.positional, given, request.now);
  const ImportTally tally = PrintImports(imports, request.Io());
  // Logged as the window logs "Add this file to the history", under the
  // name ImportDataFiles gave the file's runs.
  for (const FileImport& import : imports) {
    if (store->ReadOnly()) break;
    const Result<> noted = NoteActivity(
        store,
        {request.now, "import", InstrumentNameForFile(import.path, given), ImportLine(import)});
    if (!noted) request.Io().err << request.Prefix() << noted.error() << "\n";
  }
  return tally.failed == tally.files ? kExitFailure : kExitSuccess;
}

int HistoryShow(HistoryRequest& request) {
  const Reported<NamedRunOf> named = NamedRun(request);
  if (!named) return named.ExitCode();
  HistoryStore* store = named->store;
  const HistoryRun* run = &named->run;
  const Result<std::vector<std::string>> downloads = store->DownloadsOf(run->id);
  if (!downloads) return request.Failed(downloads.error());
  std::ostream& out = request.Io().out;
  out << RunLine(*run) << "\n"
      << "note=" << LineText(run->note, true) << "\n";
  for (const std::string& path : downloads.value()) out << "download=" << path << "\n";
  return kExitSuccess;
}

int HistorySite(HistoryRequest& request) {
  return ChangeRun(request, &HistoryStore::SetSite);
}

int HistoryNote(HistoryRequest& request) {
  return ChangeRun(request, &HistoryStore::SetNote);
}

int HistoryExclude(HistoryRequest& request) {
  return ChangeRun(request, &HistoryStore::SetExcluded);
}

int HistoryRedate(HistoryRequest& request) {
  const std::string* text = request.Option("first");
  if (!text) return request.Usage("--first is required");
  const std::optional<DateTime> first = ParseDateTime(*text, false);
  if (!first) {
    return request.Usage("--first wants a date-time YYYY-MM-DDTHH:MM, not \"" + *text + "\"");
  }
  const Reported<NamedRunOf> named = NamedRun(request);
  if (!named) return named.ExitCode();
  HistoryStore* store = named->store;
  const HistoryRun* run = &named->run;
  const Result<> redated = store->Redate(run->id, *first);
  if (!redated) return request.Failed(redated.error());
  const Result<> noted = NoteActivity(
      store, {request.now, "history", run->instrument, RedateActivityText(run->id, *first)});
  if (!noted) request.Io().err << request.Prefix() << noted.error() << "\n";
  return PrintRunAgain(request, *store, run->id);
}

int HistoryInstrumentCalibration(HistoryRequest& request) {
  const std::string& name = request.parsed.positional[0];
  // Outer empty: nothing to set; inner empty: clear it.
  std::optional<std::optional<double>> uncertainty;
  if (const std::string* text = request.Option("calibration-uncertainty")) {
    if (*text == "none") {
      uncertainty.emplace();
    } else if (const std::optional<double> percent = ParseDecimal(*text, 0, 100)) {
      uncertainty = percent;
    } else {
      return request.Usage(
          "--calibration-uncertainty wants a percentage from 0 to 100 or none, "
          "not \"" +
          *text + "\"");
    }
  }
  std::optional<std::optional<DateTime>> calibrated;
  if (const std::string* text = request.Option("calibrated")) {
    if (*text == "none") {
      calibrated.emplace();
    } else if (const std::optional<DateTime> day = ParseDay(*text)) {
      if (*day >= std::floor(request.now) + 1) {
        return request.Usage("--calibrated " + *text + " lies after today");
      }
      calibrated = day;
    } else {
      return request.Usage("--calibrated wants a day YYYY-MM-DD or none, not \"" + *text + "\"");
    }
  }
  std::optional<int> interval;
  if (const std::string* text = request.Option("interval-months")) {
    const std::optional<long long> months = ParseWholeNumber(*text, 1, kLongestCalibrationInterval);
    if (!months) {
      return request.Usage("--interval-months wants 1 to 120 months, not \"" + *text + "\"");
    }
    interval = static_cast<int>(*months);
  }
  const Reported<HistoryRequest::OpenedInstrument> opened = request.OpenInstrument(name);
  if (!opened) return opened.ExitCode();
  HistoryStore* store = opened->store;
  std::optional<HistoryInstrument> instrument = opened->instrument;
  if (uncertainty) {
    const Result<> set = store->SetCalibrationUncertainty(name, *uncertainty);
    if (!set) return request.Failed(set.error());
  }
  InstrumentRegister entry = instrument->entry;
  if (calibrated) entry.calibratedOn = *calibrated;
  if (interval) entry.intervalMonths = *interval;
  if (const std::string* text = request.Option("certificate")) entry.certificate = *text;
  if (const std::string* text = request.Option("note")) entry.note = *text;
  if (calibrated || interval || request.Option("certificate") || request.Option("note")) {
    const Result<> set = store->SetRegister(name, entry, request.now);
    if (!set) return request.Failed(set.error());
  }
  const Result<std::optional<HistoryInstrument>> found = store->FindInstrument(name);
  if (!found) return request.Failed(found.error());
  instrument = found.value();
  if (!instrument) return request.NothingMatches(NoInstrumentText(name));
  const Result<std::vector<FactorChange>> changes = store->FactorChanges(name);
  if (!changes) return request.Failed(changes.error());
  const std::optional<double>& percent = instrument->calibrationUncertainty;
  const InstrumentRegister& kept = instrument->entry;
  std::ostream& out = request.Io().out;
  out << "name=" << LineText(instrument->name) << "\n"
      << "model=" << LineText(ModelName(instrument->model)) << "\n"
      << "calibration_factor=" << SummaryNumber(instrument->calibrationFactor) << "\n"
      << "calibration_uncertainty_percent="
      << (percent ? SummaryNumber(*percent) : std::string("none")) << "\n"
      << "calibrated=" << (kept.calibratedOn ? DayText(*kept.calibratedOn) : "none") << "\n"
      << "calibration_due="
      << (kept.calibratedOn ? DayText(CalibrationDue(*kept.calibratedOn, kept.intervalMonths))
                            : "none")
      << "\n"
      << "certificate=" << LineText(kept.certificate, true) << "\n"
      << "interval_months=" << kept.intervalMonths << "\n"
      << "note=" << LineText(kept.note, true) << "\n";
  for (const FactorChange& change : changes.value()) {
    out << "factor_change=" << LineText(FactorChangeText(change), true) << "\n";
  }
  return kExitSuccess;
}

}  // namespace kestrum::tool
