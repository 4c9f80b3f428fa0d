// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool history SUBCOMMAND [options] ...: runs, summary, export, rebuild,
// import, show, site, note, exclude, redate, instrument, activity
#include <cstring>

#include "records/date_time.h"
#include "tool/history_request.h"
#include "tool/tool_command.h"
#include "tool/tool_options.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool history SUBCOMMAND [--now YYYY-MM-DDTHH:MM:SS] [options] ...\n"
    "The measurement history: every run of every download, merged across downloads, with\n"
    "the sites, notes and exclusions given to them and the log of the instrument commands,\n"
    "kept in history.sqlite in the data folder (~/.local/share/kestrum). Kept downloads the\n"
    "history does not know yet are imported whenever it is opened.\n"
    "Subcommands:\n"
    "  runs       list the runs\n"
    "  summary    an instrument's summary over its runs, with monthly and annual means\n"
    "  export     an instrument's samples as CSV\n"
    "  rebuild    import the kept downloads the history does not know yet\n"
    "  import     import data files from elsewhere\n"
    "  show       one run: its line, its note and the data files that hold it\n"
    "  site       set the site of a run\n"
    "  note       set the note of a run\n"
    "  exclude    leave a run out of summaries (1) or take it in again (0)\n"
    "  redate     move the times of a run measured with the clock unset\n"
    "  instrument an instrument's calibration; set the uncertainty of it\n"
    "  activity   the latest entries of the activity log\n"
    "\"kestrum-tool history SUBCOMMAND --help\" describes one. Output is key=value lines;\n"
    "text values with a blank are in double quotes, numbers have three decimals, times\n"
    "read YYYY-MM-DDTHH:MM (the instrument's local time).\n"
    "  --now    the local date-time of the activity log, and the clock K7/K8 run starts are\n"
    "           checked against when a data file is decoded (default: the clock)\n"
    "Exit codes: 0 done; 1 nothing matches (no such instrument or run, no sample in the\n"
    "range); 2 wrong usage, a history that cannot be opened or written (read-only), or\n"
    "files that all failed to import.\n";

constexpr const char* kRunsUsage =
    "Usage: kestrum-tool history runs [--instrument NAME] [--now YYYY-MM-DDTHH:MM:SS]\n"
    "Lists the runs of the history, oldest first, one line each:\n"
    "  run=ID instrument=NAME model=K7 first=TIME last=TIME samples=N downloads=K site=TEXT\n"
    "  excluded=0|1 conflict=0|1 overlaps=0|1 clock_unset=0|1 redated=0|1\n"
    "first/last: the first and last sample; downloads: the data files that hold the run;\n"
    "conflict: another version with the same start disagrees; overlaps: it shares time with\n"
    "another run of the instrument; clock_unset: it starts in the year 2000 (the\n"
    "instrument's clock was not set); redated: its times were moved (\"history redate\"),\n"
    "and every time shown is the moved one.\n"
    "  --instrument  only this instrument's runs: <model>-<serial> (K8-FT12AB34) for kept\n"
    "                downloads, or the name a file was imported under\n"
    "Exit codes: 0 listed; 1 no runs, or no such instrument; 2 wrong usage or a history that\n"
    "cannot be opened.\n";

constexpr const char* kSummaryUsage =
    "Usage: kestrum-tool history summary --instrument NAME\n"
    "                                    [--from \"YYYY-MM-DD HH:MM\" --to \"YYYY-MM-DD HH:MM\"]\n"
    "                                    [--levels L1,L2,...] [--site TEXT]\n"
    "                                    [--calibration-uncertainty P]\n"
    "Prints the summary of an instrument's counted hours over from..to, both ends included\n"
    "(default: all of them), one block per site, each opened by site=TEXT (runs without a\n"
    "site: \"site not given\"), with the same lines as \"kestrum-tool summary\". Counted\n"
    "hours: runs excluded by the user, runs whose clock was never set and the shorter of two\n"
    "versions of a run are left out, and where runs overlap the hours of the run that\n"
    "started later count (overlap_hours= says how many were left out under it). The verdicts\n"
    "are those of \"kestrum-tool assess --protocol period\". Then for each calendar month\n"
    "  month=YYYY-MM count=N mean_bqm3=M coverage=C\n"
    "(coverage: the share of the month's hours measured, 0 to 1), and, when twelve\n"
    "consecutive months are each at least 75 % covered, the latest such year:\n"
    "  annual_mean_bqm3=M annual_from=YYYY-MM\n"
    "(the mean of the twelve monthly means).\n"
    "  --instrument  the instrument (see \"history runs\")\n"
    "  --levels      reference levels in Bq/m3, e.g. 100,148,300\n"
    "  --site        only the runs whose site is exactly TEXT\n"
    "  --calibration-uncertainty  the instrument's, in per cent (default 10, assumed)\n"
    "Exit codes: 0 printed; 1 no such instrument, no run, or no sample in the range;\n"
    "2 wrong usage or a history that cannot be opened.\n";

constexpr const char* kExportUsage =
    "Usage: kestrum-tool history export --instrument NAME\n"
    "                                   [--from \"YYYY-MM-DD HH:MM\" --to \"YYYY-MM-DD HH:MM\"]\n"
    "                                   OUT.csv\n"
    "Writes every sample of the instrument's runs (excluded ones too) stamped within\n"
    "from..to as CSV, run by run, oldest first, with the header row\n"
    "  time,run,site,bqm3,error_bqm3,pulses,temperature_c,humidity_percent,pressure_kpa\n"
    "Times read YYYY-MM-DDTHH:MM (the end of the sample's hour), numbers have a dot and three\n"
    "decimals; a field with a comma, a quote or a line break is quoted as RFC 4180 says.\n"
    "A site that starts with =, +, -, @, a tab or a carriage return is written with a\n"
    "leading ' so that a spreadsheet shows it instead of running it as a formula.\n"
    "Channels the model lacks are empty (K5: temperature, humidity, pressure; K6: pressure).\n"
    "OUT.csv \"-\" writes to standard output.\n"
    "Exit codes: 0 written; 1 no such instrument, or no sample in the range; 2 wrong usage,\n"
    "a history that cannot be opened or a file that could not be written.\n";

constexpr const char* kRebuildUsage =
    "Usage: kestrum-tool history rebuild [--now YYYY-MM-DDTHH:MM:SS]\n"
    "Imports every kept download (~/.local/share/kestrum/downloads) the history does not\n"
    "know yet, oldest first, with one line per file, then a count line\n"
    "  files=N failed=F new_runs=R grown_runs=G new_samples=S\n"
    "or \"nothing changed\" when no file brought anything new. A damaged history file is moved\n"
    "aside (history.sqlite.broken-<time>) and made again from the kept downloads. A damaged\n"
    "data file is named on standard error and skipped.\n"
    "Exit codes: 0 done, damaged files skipped or not; 2 wrong usage or a history that cannot\n"
    "be opened or written.\n";

constexpr const char* kImportUsage =
    "Usage: kestrum-tool history import [--instrument NAME] [--now YYYY-MM-DDTHH:MM:SS]\n"
    "                                   FILE.Rn...\n"
    "Imports data files from elsewhere (saved with Save, or copied from another PC), one\n"
    "line per file; the same bytes twice change nothing.\n"
    "  --instrument  the instrument the files belong to (default: each file's name without\n"
    "                \".Rn\"); a kept download's name gives its own\n"
    "Exit codes: 0 imported, or some files failed (named on standard error); 2 wrong usage,\n"
    "a history that cannot be opened or written, or every file failed.\n";

constexpr const char* kShowUsage =
    "Usage: kestrum-tool history show RUN-ID\n"
    "Prints the run's line as \"history runs\" does, then note=\"...\", then one\n"
    "download=PATH line for each data file that holds the run, oldest first.\n"
    "Exit codes: 0 printed; 1 no such run; 2 wrong usage or a history that cannot be opened.\n";

constexpr const char* kSiteUsage =
    "Usage: kestrum-tool history site RUN-ID [--] TEXT\n"
    "Sets where the run measured (free text of at most 200 characters; empty clears it)\n"
    "and prints the run's line. RUN-ID is the number of \"history runs\". A TEXT that\n"
    "starts with \"-\" goes after \"--\".\n"
    "Exit codes: 0 set; 1 no such run; 2 wrong usage or a history that cannot be written.\n";

constexpr const char* kNoteUsage =
    "Usage: kestrum-tool history note RUN-ID [--] TEXT\n"
    "Sets the run's note (free text of at most 4,000 characters; empty clears it) and\n"
    "prints the run's line. A TEXT that starts with \"-\" goes after \"--\".\n"
    "Exit codes: 0 set; 1 no such run; 2 wrong usage or a history that cannot be written.\n";

constexpr const char* kExcludeUsage =
    "Usage: kestrum-tool history exclude RUN-ID 0|1\n"
    "1 leaves the run out of summaries, 0 takes it in again; prints the run's line.\n"
    "Exit codes: 0 set; 1 no such run; 2 wrong usage or a history that cannot be written.\n";

constexpr const char* kRedateUsage =
    "Usage: kestrum-tool history redate RUN-ID --first YYYY-MM-DDTHH:MM\n"
    "Re-dates a run measured with the instrument's clock unset (it starts in the year 2000)\n"
    "or wrong (future=1: it starts after the download that brought it):\n"
    "every time of the run moves so that its first sample is at --first (the end of its first\n"
    "hour, local time). The data files keep the instrument's times, so later downloads still\n"
    "merge into the run; re-dating again starts from those times, and the run's original\n"
    "first time undoes it. Notes the change in the activity log and prints the run's line.\n"
    "Exit codes: 0 re-dated; 1 no such run; 2 wrong usage, a run whose clock was set or\n"
    "without samples, or a history that cannot be written.\n";

constexpr const char* kInstrumentUsage =
    "Usage: kestrum-tool history instrument NAME [--calibrated YYYY-MM-DD|none]\n"
    "                                       [--certificate TEXT] [--calibration-uncertainty P]\n"
    "                                       [--interval-months N] [--note TEXT]\n"
    "Prints the instrument's entry in the register, after setting what is given:\n"
    "  name=NAME\n"
    "  model=K7\n"
    "  calibration_factor=F\n"
    "  calibration_uncertainty_percent=P|none\n"
    "  calibrated=YYYY-MM-DD|none\n"
    "  calibration_due=YYYY-MM-DD|none\n"
    "  certificate=\"...\"\n"
    "  interval_months=N\n"
    "  note=\"...\"\n"
    "  factor_change=\"calibration factor changed from 6.25 to 5.37 between the downloads of\n"
    "                 2025-03-01 and 2025-04-02\"   (one line for each change, oldest first)\n"
    "calibration_factor: Bq/m3 per pulse, as the data files give it;\n"
    "calibration_uncertainty_percent: the uncertainty of that calibration (the P of assess).\n"
    "  --calibrated               the day of the last calibration (not after today), or none\n"
    "  --certificate              the calibration certificate's reference\n"
    "  --calibration-uncertainty  a percentage from 0 to 100, or none\n"
    "  --interval-months          how long a calibration holds: 1 to 120 months (12 unless set)\n"
    "  --note                     a free note\n"
    "Exit codes: 0 printed; 1 no such instrument; 2 wrong usage or a history that cannot be\n"
    "opened or written.\n";

constexpr const char* kActivityUsage =
    "Usage: kestrum-tool history activity [--last N] [--now YYYY-MM-DDTHH:MM:SS]\n"
    "Prints the latest entries of the activity log, newest first:\n"
    "  at=TIME kind=download|clock|erase|level|import|history instrument=NAME text=\"...\"\n"
    "  --last  how many entries, 1 to 100000 (default 20)\n"
    "Exit codes: 0 printed; 1 the log is empty; 2 wrong usage or a history that cannot be\n"
    "opened.\n";

struct Subcommand {
  const char* name;
  const char* usage;
  std::vector<std::string> options;  // besides --now
  std::size_t minWords;
  std::size_t maxWords;
  const char* wordsProblem;
  int (*run)(HistoryRequest&);
};

const std::vector<Subcommand>& Subcommands() {
  constexpr std::size_t kMany = static_cast<std::size_t>(-1);
  static const std::vector<Subcommand> list = {
      {"runs", kRunsUsage, {"instrument"}, 0, 0, "takes no file", HistoryRuns},
      {"summary",
       kSummaryUsage,
       {"instrument", "from", "to", "levels", "site", "calibration-uncertainty"},
       0,
       0,
       "takes no file",
       HistorySummary},
      {"export",
       kExportUsage,
       {"instrument", "from", "to"},
       1,
       1,
       "expects exactly one output file",
       HistoryExport},
      {"rebuild", kRebuildUsage, {}, 0, 0, "takes no file", HistoryRebuild},
      {"import", kImportUsage, {"instrument"}, 1, kMany, "expects data files", HistoryImport},
      {"show", kShowUsage, {}, 1, 1, "expects a run number", HistoryShow},
      {"site", kSiteUsage, {}, 2, 2, "expects a run number and the site", HistorySite},
      {"note", kNoteUsage, {}, 2, 2, "expects a run number and the note", HistoryNote},
      {"exclude", kExcludeUsage, {}, 2, 2, "expects a run number and 0 or 1", HistoryExclude},
      {"redate", kRedateUsage, {"first"}, 1, 1, "expects a run number", HistoryRedate},
      {"instrument",
       kInstrumentUsage,
       {"calibration-uncertainty", "calibrated", "certificate", "interval-months", "note"},
       1,
       1,
       "expects an instrument name",
       HistoryInstrumentCalibration},
      {"activity", kActivityUsage, {"last"}, 0, 0, "takes no file", HistoryActivity},
  };
  return list;
}

int Usage(ToolIo& io, const std::string& problem) {
  io.err << "kestrum-tool history: " << problem << "\n" << kUsage;
  return kExitFailure;
}

}  // namespace

int RunHistoryCommand(const std::vector<std::string>& args, ToolIo& io) {
  if (args.empty()) return Usage(io, "a subcommand is required");
  if (args[0] == "--help" || args[0] == "-h") {
    io.out << kUsage;
    return kExitSuccess;
  }
  const Subcommand* chosen = nullptr;
  for (const Subcommand& sub : Subcommands()) {
    if (args[0] == sub.name) chosen = &sub;
  }
  if (!chosen) return Usage(io, "unknown subcommand \"" + args[0] + "\"");

  std::vector<std::string> names = chosen->options;
  names.push_back("now");
  const Result<ParsedArgs> read =
      ParseArgs(std::vector<std::string>(args.begin() + 1, args.end()), names);
  static const ParsedArgs kNoWords;
  HistoryRequest usage(chosen->name, chosen->usage, read ? read.value() : kNoWords, 0, io);
  if (!read) return usage.Usage(read.error());
  const ParsedArgs& parsed = read.value();
  if (parsed.help) {
    io.out << chosen->usage;
    return kExitSuccess;
  }
  if (parsed.positional.size() < chosen->minWords || parsed.positional.size() > chosen->maxWords) {
    return usage.Usage(chosen->wordsProblem);
  }
  DateTime now = CurrentLocalDateTime();
  if (const auto it = parsed.options.find("now"); it != parsed.options.end()) {
    const std::optional<DateTime> given = ParseDateTime(it->second, true);
    if (!given) {
      return usage.Usage("--now wants a date-time YYYY-MM-DDTHH:MM:SS, not \"" + it->second + "\"");
    }
    now = *given;
  }
  HistoryRequest request(chosen->name, chosen->usage, parsed, now, io);
  return chosen->run(request);
}

}  // namespace kestrum::tool
