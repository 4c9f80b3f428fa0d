// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool assess FILE.Rn --run I | --instrument NAME [--site TEXT] [--protocol P] ...
#include <algorithm>

#include "assessment/assessment.h"
#include "assessment/calibration_state.h"
#include "assessment/collocation.h"
#include "assessment/condition_marks.h"
#include "assessment/test_csv.h"
#include "history/history_hours.h"
#include "history/program_history.h"
#include "history/register_text.h"
#include "records/csv_export.h"
#include "records/date_time.h"
#include "tool/assessment_options.h"
#include "tool/assessment_output.h"
#include "tool/file_command.h"
#include "tool/history_output.h"
#include "tool/run_range_options.h"
#include "tool/summary_output.h"
#include "tool/test_report_job.h"
#include "tool/tool_command.h"
#include "tool/tool_options.h"
#include "tool/tool_output.h"
#include "views/model_channels.h"
#include "views/run_sample_range.h"

namespace kestrum::tool {
namespace {

constexpr const char* kUsage =
    "Usage: kestrum-tool assess FILE.Rn --run I [--site TEXT] [options]\n"
    "       kestrum-tool assess --instrument NAME [--site TEXT] [options]\n"
    "Assesses the counted hours of run I of a data file, or of one site of an instrument's\n"
    "history, under a measurement protocol, and prints key=value lines (numbers with three\n"
    "decimals, times YYYY-MM-DDTHH:MM, \"none\" where a figure is undefined).\n"
    "Counted hours: excluded runs, runs whose clock was never set (they start in 2000) and\n"
    "the shorter of two versions of a run do not count; where runs of one instrument overlap\n"
    "the later run's hours count. A history range holding several sites needs --site (\"\"\n"
    "for runs without a site).\n"
    "  --protocol P   period (default): the mean of the counted hours of the range;\n"
    "                 annual: each calendar year whose 12 months are each >= 75 % covered;\n"
    "                 us-short-term: a short test with a continuous monitor, result in pCi/L;\n"
    "                 long-term: an annual estimate through a seasonal profile;\n"
    "                 workplace: the mean of the occupied hours\n"
    "  --from \"YYYY-MM-DD HH:MM\" --to \"...\"   the range, both ends included (default: all)\n"
    "  --levels L,...               reference levels in Bq/m3 (default 100,148,300)\n"
    "  --calibration-uncertainty P  the instrument's, in per cent (default: the history's\n"
    "                               \"history instrument\" entry, else 10, said assumed)\n"
    "  --discard-hours N | --closed-building-late (12) | --post-mitigation (24)\n"
    "                               us-short-term: hours discarded at the start (default 4)\n"
    "  --hours \"Mon-Fri 08:00-18:00\" workplace: occupancy blocks separated by commas\n"
    "  --profile FILE               long-term: lines \"MM FACTOR\", \"uncertainty=P\", # comments\n"
    "  --profile-from-site SITE     long-term: that site's latest 12 covered months\n"
    "  --now YYYY-MM-DDTHH:MM:SS    the local date-time K7/K8 run starts are checked against\n"
    "  --thresholds T,RH,P          changes from the hour before that mark an hour (default\n"
    "                               3 degC, 10 points, 0.5 kPa)\n"
    "  --csv OUT.csv                also writes the test's counted hours: the columns of\n"
    "                               \"history export\", then counted (0 where the protocol\n"
    "                               leaves the hour out) and condition (1 for a marked hour);\n"
    "                               \"-\" writes to standard output\n"
    "  --report OUT.pdf             also writes the test report: client, operator, instrument\n"
    "                               and calibration, the test as deployed and assessed, the\n"
    "                               result, the chart, advice (us-short-term), monthly means,\n"
    "                               collocated instruments and every hour (at most 2000 pages)\n"
    "  --client TEXT --address TEXT whom the report is for; with --instrument and a site they\n"
    "                               are kept with the site in the history and used again\n"
    "  --operator TEXT --certification TEXT   who measured, with their certification number\n"
    "  --paper a4|letter            the report's paper (default: by the locale)\n"
    "Keys: protocol site first last hours overlap_hours clock_unset_hours excluded_hours days\n"
    "calibration_uncertainty_percent (assumed=1 when not given) mean_bqm3 u_counting_bqm3\n"
    "(mean / sqrt(pulses)) u_temporal_bqm3 (s / sqrt(n_eff) of the daily means of days with\n"
    "at least 18 counted hours) autocorrelation (lag 1, clamped to 0..0.9) effective_days\n"
    "(n (1 - r) / (1 + r)) u_calibration_bqm3 (mean x P / 100) u_bqm3 (the three combined);\n"
    "then per level \"level=L verdict=above|below|undecided more_days=N|none [reason=...]\":\n"
    "above when mean - 2u > L, below when mean + 2u < L; more_days the fewest further days\n"
    "(1..365) of the same kind that would decide, 0 when decided; none with reason too_short\n"
    "(under 3 full days), calibration (its uncertainty alone spans the level), too_close or\n"
    "no_pulses.\n"
    "us-short-term adds deployed_first deployed_last hours_discarded valid=0|1, then\n"
    "invalid=too_short|gap|clock_unset (with gap_after) or result_pcil=X.X (1 pCi/L = 37 Bq/m3,\n"
    "rounded half up) action=fix (4.0 or more)|consider (2.0 to 3.9)|low (under 2.0).\n"
    "workplace adds schedule all_hours mean_all_bqm3 (an hour is occupied when its middle lies\n"
    "in a block; a day counts with 75 % of its scheduled hours).\n"
    "long-term adds profile seasonal_factor annual_estimate_bqm3 u_annual_estimate_bqm3;\n"
    "the levels judge the estimate.\n"
    "Last, calibration=current|overdue|unknown: whether the instrument's calibration (see\n"
    "\"history instrument\") still held at the last counted hour, unknown for a data file or\n"
    "without a calibration day; then calibrated and calibration_due when it is known. The\n"
    "figures are the same either way.\n"
    "Then conditions=N and one line \"condition=TIME dT=+X dRH=+X dP=+X\" per counted hour whose\n"
    "temperature, humidity or pressure changed more than a threshold from the hour before\n"
    "(changes that may come from an opened window or door, or a moved or disturbed\n"
    "instrument; the channels the model measures only; nothing is left out for them).\n"
    "With --instrument and a site, one line per other instrument of the history with runs of\n"
    "that site over the same hours: \"collocated=NAME shared_hours=N mean_bqm3=X\n"
    "own_mean_bqm3=X average_bqm3=X rpd_percent=X\" (|a - b| / ((a + b) / 2) x 100).\n"
    "annual prints \"year=YYYY months=12 annual_mean_bqm3= u_bqm3=\" and \"year=YYYY level=L\n"
    "verdict=...\" lines, and \"annual_mean_bqm3= annual_from=YYYY-MM\" for the latest twelve\n"
    "consecutive covered months.\n"
    "Exit codes: 0 printed; 1 no counted hour in the range, or (annual) no year qualifies;\n"
    "2 wrong usage naming the word, several sites without --site, or a rejected file.\n";

int NoResult(ToolIo& io, const std::string& problem) {
  io.err << "kestrum-tool assess: " << problem << "\n";
  return kExitNoResult;
}

int StoreFailed(ToolIo& io, const Failure& failure) {
  io.err << "kestrum-tool assess: " << failure.message << "\n";
  return kExitFailure;
}

std::string SiteList(const std::vector<std::string>& sites) {
  std::string list;
  for (const std::string& site : sites) {
    if (!list.empty()) list += ", ";
    list += site.empty() ? "site not given" : "\"" + site + "\"";
  }
  return list;
}

// "+3.10", "-0.20": a change from the hour before.
std::string SignedChange(double change) {
  char text[32];
  std::snprintf(text, sizeof text, "%+.2f", change);
  return text;
}

// Why a range has no counted hour.
std::string NoHoursText(const CountedHours& counted) {
  std::string text = "no counted hour lies in the range";
  if (counted.clockUnsetHours > 0) {
    text += "; " + std::to_string(counted.clockUnsetHours) +
            " hours of runs whose clock was never set or was wrong do not count (kestrum-tool "
            "history redate gives them their time)";
  }
  if (counted.excludedHours > 0) {
    text += "; " + std::to_string(counted.excludedHours) + " hours are excluded";
  }
  return text;
}

}  // namespace

bool AsksForReport(const std::vector<std::string>& args) {
  for (const std::string& word : args) {
    if (word == "--") break;
    if (word == "--report" || word.rfind("--report=", 0) == 0) return true;
  }
  return false;
}

int RunAssess(const std::vector<std::string>& args, ToolIo& io, TestReportWriter writer) {
  std::vector<std::string> values = RunRangeOptionNames();
  for (const char* name : {"instrument", "site", "thresholds", "csv", "report", "client", "address",
                           "operator", "certification", "paper"}) {
    values.emplace_back(name);
  }
  for (const std::string& name : AssessmentValueOptions()) values.push_back(name);
  const FileCommand command("assess", kUsage, io);
  const Result<ParsedArgs> read = ParseArgs(args, values, AssessmentFlagOptions());
  if (!read) return command.Usage(read.error());
  const ParsedArgs& parsed = read.value();
  if (parsed.help) {
    io.out << kUsage;
    return kExitSuccess;
  }
  const auto option = [&](const char* name) -> const std::string* {
    const auto it = parsed.options.find(name);
    return it == parsed.options.end() ? nullptr : &it->second;
  };
  const std::string* instrument = option("instrument");
  const std::string* siteWord = option("site");
  if (parsed.positional.size() > 1) return command.Usage("expects one data file at most");
  if (parsed.positional.empty() == !instrument) {
    return command.Usage("wants either a data file with --run or --instrument NAME");
  }
  if (instrument && option("run")) return command.Usage("--run goes with a data file");
  const std::string* report = option("report");
  if (report && *report == "-") {
    return command.Usage("the report goes to a file; \"-\" names none (give e.g. report.pdf)");
  }
  if (report && !writer) return command.Usage("--report needs kestrum-report, which draws it");
  ReportPaper paper = PaperOfLocale(QLocale::system());
  if (const std::string* text = option("paper")) {
    if (*text != "a4" && *text != "letter") {
      return command.Usage("--paper wants a4 or letter, not \"" + *text + "\"");
    }
    paper = *text == "letter" ? ReportPaper::kLetter : ReportPaper::kA4;
  }

  ConditionThresholds thresholds;
  if (const std::string* text = option("thresholds")) {
    const std::optional<ConditionThresholds> given = ParseConditionThresholds(*text);
    if (!given) {
      return command.Usage(
          "--thresholds wants three positive numbers T,RH,P (°C, points, kPa), not \"" + *text +
          "\"");
    }
    thresholds = *given;
  }
  const Result<std::vector<double>> given = ReadLevelList(parsed);
  if (!given) return command.Usage(given.error());
  const std::vector<double> levels = LevelsForVerdicts(given.value());
  Result<AssessmentWords> words = ReadAssessmentWords(parsed, levels);
  if (!words) return command.Usage(words.error());
  AssessmentRequest& request = words->request;

  DateTime now = CurrentLocalDateTime();
  if (const std::string* text = option("now")) {
    const std::optional<DateTime> given = ParseDateTime(*text, true);
    if (!given) return command.Usage("--now wants YYYY-MM-DDTHH:MM:SS, not \"" + *text + "\"");
    now = *given;
  }

  std::string site = siteWord ? *siteWord : std::string();
  CountedHours counted;
  // A data file on its own says nothing of when the instrument was calibrated.
  std::optional<InstrumentRegister> calibration;
  CsvChannels channels;
  std::optional<InstrumentModel> model;
  std::string dataName;
  DateTime rangeFrom = -1e9, rangeTo = 1e9;
  std::unique_ptr<HistoryStore> history;
  const auto openHistory = [&]() -> HistoryStore* {
    if (history) return history.get();
    Result<std::unique_ptr<HistoryStore>> opened = OpenProgramHistory(now);
    if (!opened) {
      io.err << "kestrum-tool assess: the history cannot be opened: " << opened.error() << "\n";
      return nullptr;
    }
    history = std::move(opened).value();
    if (history->Notice()) io.err << "kestrum-tool assess: " << *history->Notice() << "\n";
    return history.get();
  };

  if (!instrument) {
    const Reported<RunRange> range = ReadRunRange(command, parsed, parsed.positional[0]);
    if (!range) return range.ExitCode();
    const MeasurementStore& store = *range->store;
    const std::vector<HourlySample> samples = RunHourlySamples(store, range->run);
    model = ModelFromMarker(store.MemoryImage[0]);
    channels = CsvChannelsOf(model);
    dataName = parsed.positional[0].substr(parsed.positional[0].find_last_of('/') + 1);
    counted = CountHours({RunHoursOfFile(store, range->run, samples, site)}, range->range.from,
                         range->range.to);
  } else {
    const Result<RangeEnds> range = ReadRangeEnds(parsed);
    if (!range) return command.Usage(range.error());
    rangeFrom = range->from;
    rangeTo = range->to;
    HistoryStore* store = openHistory();
    if (!store) return kExitFailure;
    const Result<std::optional<HistoryInstrument>> listed = store->FindInstrument(*instrument);
    if (!listed) return StoreFailed(io, listed.failure());
    const std::optional<HistoryInstrument>& found = listed.value();
    if (!found) {
      return NoResult(io, "the history knows no instrument \"" + *instrument +
                              "\" (see \"kestrum-tool history runs\")");
    }
    TakeCalibration(request, found->calibrationUncertainty);
    calibration = found->entry;
    model = found->model;
    channels = CsvChannelsOf(model);
    dataName = "the history of " + *instrument;
    const Result<std::vector<LoadedRun>> runs = LoadInstrumentRuns(*store, *instrument);
    if (!runs) return StoreFailed(io, runs.failure());
    const std::vector<RunHours> hours = RunHoursOf(runs.value());
    if (!siteWord) {
      std::vector<std::string> sites;
      for (const SiteHours& block : CountHoursPerSite(hours, rangeFrom, rangeTo))
        sites.push_back(block.site);
      if (sites.size() > 1) {
        io.err << "kestrum-tool assess: the range holds runs of several sites (" << SiteList(sites)
               << "); choose one with --site\n";
        return kExitFailure;
      }
      if (!sites.empty()) site = sites.front();
    }
    counted = CountHours(hours, rangeFrom, rangeTo, &site);
  }
  if (words->profileSite) {
    HistoryStore* store = openHistory();
    if (!store) return kExitFailure;
    Result<SeasonalProfile> profile = ProfileOfSite(*store, *words->profileSite, instrument);
    if (!profile && profile.failure().kind == FailureKind::kStore) {
      return StoreFailed(io, profile.failure());
    }
    if (!profile) return command.Usage("--profile-from-site: " + profile.error());
    request.profile = std::move(profile).value();
  }
  if (counted.samples.empty()) return NoResult(io, NoHoursText(counted));

  const Assessment assessment = Assess(counted, request);
  if (assessment.hours() == 0) {
    return NoResult(io, "none of the counted hours is one the protocol assesses");
  }
  if (request.protocol == Protocol::kAnnual && assessment.years.empty()) {
    return NoResult(io,
                    "no calendar year in the range has all twelve months at least 75 % covered");
  }
  PrintAssessment(io.out, assessment, site);
  // Whether a calibration covers the test up to its last counted hour.
  const std::optional<DateTime> calibrated =
      calibration ? calibration->calibratedOn : std::optional<DateTime>();
  const int interval = calibration ? calibration->intervalMonths : 12;
  io.out << "calibration="
         << CalibrationStateWord(
                CalibrationStateFor(calibrated, interval, counted.samples.back().time))
         << "\n";
  if (calibrated) {
    io.out << "calibrated=" << DayText(*calibrated) << "\n"
           << "calibration_due=" << DayText(CalibrationDue(*calibrated, interval)) << "\n";
  }
  const std::vector<ConditionMark> marks = MarkConditionChanges(
      counted.samples,
      MeasuredOnly(thresholds, channels.temperature, channels.humidity, channels.pressure));
  io.out << "conditions=" << marks.size() << "\n";
  for (const ConditionMark& m : marks) {
    io.out << "condition=" << SummaryMinute(m.time) << " dT=" << SignedChange(m.temperatureChange)
           << " dRH=" << SignedChange(m.humidityChange) << " dP=" << SignedChange(m.pressureChange)
           << "\n";
  }
  if (const std::string* csv = option("csv")) {
    const std::string table =
        TestCsv(counted, HoursLeftOut(counted, request), marks, site, channels);
    if (const Result<> written = WriteToolOutput(*csv, table, io); !written) {
      io.err << "kestrum-tool assess: " << CannotWriteText(*csv, written.error()) << "\n";
      return kExitFailure;
    }
  }
  // Other instruments at the same site over the same hours; never another site's.
  std::vector<CollocatedResult> collocated;
  if (instrument && !site.empty()) {
    HistoryStore* store = openHistory();
    const Result<std::vector<CollocatedInstrument>> others =
        store ? CollocatedAt(*store, *instrument, site, rangeFrom, rangeTo, counted.samples)
              : std::vector<CollocatedInstrument>{};
    if (!others) return StoreFailed(io, others.failure());
    for (const CollocatedInstrument& other : others.value()) {
      const Collocation& c = other.figures;
      io.out << "collocated=" << LineText(other.name) << " shared_hours=" << c.sharedHours
             << " mean_bqm3=" << SummaryNumber(c.otherMean)
             << " own_mean_bqm3=" << SummaryNumber(c.ownMean)
             << " average_bqm3=" << SummaryNumber(c.Average())
             << " rpd_percent=" << SummaryNumber(c.RelativePercentDifference()) << "\n";
      collocated.push_back({QString::fromStdString(other.name), c});
    }
  }
  if (!report) return kExitSuccess;

  // Whom the report is for: given now, else what the history keeps for the site.
  SiteClient client;
  HistoryStore* kept = instrument ? openHistory() : nullptr;
  if (kept) {
    const Result<SiteClient> known = kept->SiteClientOf(site);
    if (!known) {
      io.err << "kestrum-tool assess: " << known.error() << "\n";
      return kExitFailure;
    }
    client = known.value();
  }
  const std::string* clientWord = option("client");
  const std::string* addressWord = option("address");
  if (clientWord) client.client = *clientWord;
  if (addressWord) client.address = *addressWord;
  if (kept && (clientWord || addressWord)) {
    if (const Result<> saved = kept->SetSiteClient(site, client); !saved) {
      io.err << "kestrum-tool assess: the client was not kept: " << saved.error() << "\n";
      return kExitFailure;
    }
  }
  const auto text = [&](const char* name) {
    const std::string* word = option(name);
    return word ? QString::fromStdString(*word) : QString();
  };
  const ModelChannels measured = model ? ChannelsOf(*model) : ModelChannels{};
  TestReportJob job;
  // A US test is read in pCi/L.
  job.input = TestReportInputFor(
      assessment, counted, request, thresholds, measured,
      request.protocol == Protocol::kUsShortTerm ? RadonUnit::PciPerL : RadonUnit::BqPerM3);
  TestReportInput& input = job.input;
  input.site = QString::fromStdString(site);
  input.model = model ? QString::fromLatin1(ModelName(*model)) : QString();
  input.instrument = instrument ? QString::fromStdString(*instrument) : QString();
  input.data = QString::fromLocal8Bit(dataName.c_str());
  input.calibratedOn = calibrated;
  input.intervalMonths = interval;
  input.certificate = calibration ? calibration->certificate : std::string();
  input.people = {QString::fromStdString(client.client), QString::fromStdString(client.address),
                  text("operator"), text("certification")};
  input.collocated = std::move(collocated);
  job.report = ComposeTestReport(input);
  job.paper = paper;
  job.path = *report;
  if (const Result<> written = writer(job); !written) {
    io.err << "kestrum-tool assess: " << CannotWriteText(*report, written.error()) << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace kestrum::tool
