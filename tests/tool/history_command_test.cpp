// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool history against generated data files and emulated downloads.
// Summary numbers are checked against sums done here over the exported CSV.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <numeric>
#include <utility>

#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

using Lines = std::vector<std::string>;
using Fields = std::vector<std::pair<std::string, std::string>>;
using testing::ReadWholeFile;
using testing::SplitLines;

// key=value words; a value in double quotes may hold blanks and \-escapes.
Fields ParseLine(const std::string& line) {
  Fields fields;
  std::size_t i = 0;
  while (i < line.size()) {
    const std::size_t equals = line.find('=', i);
    if (equals == std::string::npos) break;
    std::string key = line.substr(i, equals - i), value;
    i = equals + 1;
    if (i < line.size() && line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        value += line[i];
      }
      ++i;
    } else {
      while (i < line.size() && line[i] != ' ') value += line[i++];
    }
    fields.emplace_back(key, value);
    if (i < line.size() && line[i] == ' ') ++i;
  }
  return fields;
}

std::string Value(const Fields& fields, const std::string& key) {
  for (const auto& [k, v] : fields) {
    if (k == key) return v;
  }
  ADD_FAILURE() << "no " << key;
  return {};
}

std::vector<std::string> Keys(const Fields& fields) {
  std::vector<std::string> keys;
  for (const auto& field : fields) keys.push_back(field.first);
  return keys;
}

// RFC 4180 records: quoted fields may hold commas, doubled quotes, line breaks.
std::vector<Lines> ParseCsv(const std::string& text) {
  std::vector<Lines> rows;
  Lines row;
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.push_back(field);
      field.clear();
    } else if (c == '\n') {
      row.push_back(field);
      rows.push_back(row);
      row.clear();
      field.clear();
    } else {
      field += c;
    }
  }
  return rows;
}

class HistoryCommandTest : public testing::ToolFixture {
 protected:
  // Generates a data file and imports it under `instrument`.
  void GenerateAndImport(const std::string& model, const std::string& runs,
                         const std::string& hours, const std::string& start,
                         const std::string& instrument) {
    const std::string file = model + "-" + instrument + ".Rn";
    ASSERT_EQ(Run({"generate", "--model", model, "--runs", runs, "--hours", hours, "--seed", "7",
                   "--start", start, file}),
              0)
        << err_.str();
    ASSERT_EQ(Run({"history", "import", "--instrument", instrument, file}), 0) << err_.str();
  }
  std::vector<Fields> RunLines(const std::string& instrument) {
    EXPECT_EQ(Run({"history", "runs", "--instrument", instrument}), 0) << err_.str();
    std::vector<Fields> runs;
    for (const std::string& line : SplitLines(out_.str())) runs.push_back(ParseLine(line));
    return runs;
  }
  std::vector<Lines> Export(const std::string& instrument) {
    EXPECT_EQ(Run({"history", "export", "--instrument", instrument, "out.csv"}), 0) << err_.str();
    return ParseCsv(ReadWholeFile("out.csv"));
  }
  // The first line's fields of every summary line, by key.
  std::map<std::string, std::string> Summary(const std::vector<std::string>& extra) {
    std::vector<std::string> args{"history", "summary"};
    args.insert(args.end(), extra.begin(), extra.end());
    EXPECT_EQ(Run(args), 0) << err_.str();
    std::map<std::string, std::string> values;
    for (const std::string& line : SplitLines(out_.str())) {
      const Fields fields = ParseLine(line);
      if (!fields.empty() && !values.count(fields[0].first)) {
        values[fields[0].first] = fields[0].second;
      }
    }
    return values;
  }
};

TEST_F(HistoryCommandTest, RunLinesKeepTheirKeysAndQuoteSites) {
  GenerateAndImport("K7", "2", "48", "2024-03-05T14:30", "attic");
  const std::vector<Fields> runs = RunLines("attic");
  ASSERT_EQ(runs.size(), 2u);
  const std::vector<std::string> keys{"run",      "instrument",  "model",   "first",    "last",
                                      "samples",  "downloads",   "site",    "excluded", "conflict",
                                      "overlaps", "clock_unset", "redated", "future"};
  for (const Fields& run : runs) {
    EXPECT_EQ(Keys(run), keys);
    EXPECT_EQ(Value(run, "instrument"), "attic");
    EXPECT_EQ(Value(run, "model"), "K7");
    EXPECT_EQ(Value(run, "samples"), "48");
    EXPECT_EQ(Value(run, "downloads"), "1");
    EXPECT_EQ(Value(run, "excluded"), "0");
  }
  EXPECT_LT(Value(runs[0], "last"), Value(runs[1], "first"));  // oldest first

  const std::string first = Value(runs[0], "run");
  ASSERT_EQ(Run({"history", "site", first, "Living room, west"}), 0) << err_.str();
  ASSERT_EQ(Run({"history", "runs", "--instrument", "attic"}), 0);
  EXPECT_NE(out_.str().find(" site=\"Living room, west\" excluded=0"), std::string::npos)
      << out_.str();

  // An excluded run leaves the summary: only the other's samples count.
  ASSERT_EQ(Run({"history", "exclude", first, "1"}), 0) << err_.str();
  EXPECT_EQ(Value(ParseLine(SplitLines(out_.str()).at(0)), "excluded"), "1");
  EXPECT_EQ(Summary({"--instrument", "attic"})["samples"], Value(runs[1], "samples"));
}

TEST_F(HistoryCommandTest, ExportHoldsEverySampleWithTheModelsChannels) {
  const struct {
    const char* model;
    bool temperature, humidity, pressure;
  } cases[] = {
      {"K5", false, false, false},
      {"K6", true, true, false},
      {"K7", true, true, true},
      {"K8", true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    GenerateAndImport(c.model, "3", "40", "2024-03-05T14:30", c.model);
    const std::vector<Fields> runs = RunLines(c.model);
    const std::string site = "Shed \"B\", north";
    ASSERT_EQ(Run({"history", "site", Value(runs[0], "run"), site}), 0) << err_.str();
    const std::vector<Lines> rows = Export(c.model);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], (Lines{"time", "run", "site", "bqm3", "error_bqm3", "pulses",
                              "temperature_c", "humidity_percent", "pressure_kpa"}));
    int samples = 0;
    for (const Fields& run : runs) samples += std::stoi(Value(run, "samples"));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(samples) + 1);
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const Lines& row = rows[i];
      ASSERT_EQ(row.size(), 9u) << i;
      EXPECT_EQ(row[0].size(), 16u) << row[0];
      EXPECT_EQ(row[2], row[1] == Value(runs[0], "run") ? site : "") << i;
      EXPECT_EQ(!row[6].empty(), c.temperature) << i;
      EXPECT_EQ(!row[7].empty(), c.humidity) << i;
      EXPECT_EQ(!row[8].empty(), c.pressure) << i;
      if (i > 1 && rows[i - 1][1] == row[1]) {
        EXPECT_LT(rows[i - 1][0], row[0]) << i;
      }
    }
  }
}

// Over thirteen months: the mean, the months (a sample stamped 00:00 closes
// the day and month before) and the annual mean of the latest twelve
// consecutive months covered to 75 %.
TEST_F(HistoryCommandTest, SummaryAgreesWithTheExportedRows) {
  GenerateAndImport("K8", "1", "9800", "2023-01-10T08:00", "cellar");
  const std::vector<Lines> rows = Export("cellar");
  ASSERT_GT(rows.size(), 9000u);

  struct Month {
    int count = 0;
    double sum = 0;
  };
  std::map<std::pair<int, int>, Month> months;
  double sum = 0;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    int y, m, d, hh, mm;
    ASSERT_EQ(std::sscanf(rows[i][0].c_str(), "%d-%d-%dT%d:%d", &y, &m, &d, &hh, &mm), 5);
    if (d == 1 && hh == 0 && mm == 0 && --m == 0) {
      m = 12;
      --y;
    }
    const double value = std::stod(rows[i][3]);
    sum += value;
    months[{y, m}].count += 1;
    months[{y, m}].sum += value;
  }
  const std::size_t samples = rows.size() - 1;
  const std::map<std::string, std::string> summary = Summary({"--instrument", "cellar"});
  EXPECT_EQ(summary.at("samples"), std::to_string(samples));
  EXPECT_EQ(summary.at("first"), rows[1][0]);
  EXPECT_EQ(summary.at("last"), rows.back()[0]);
  EXPECT_NEAR(std::stod(summary.at("mean_bqm3")), sum / samples, 0.002);

  const auto hoursOf = [](int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return 24.0 * (days[m - 1] + (m == 2 && leap ? 1 : 0));
  };
  std::vector<std::string> monthLines;
  for (const std::string& line : SplitLines(out_.str())) {
    if (line.rfind("month=", 0) == 0) monthLines.push_back(line);
  }
  ASSERT_EQ(monthLines.size(), months.size());
  std::vector<std::pair<std::string, double>> covered;  // consecutive, at least 75 %
  std::pair<std::string, double> annual;
  auto line = monthLines.begin();
  for (const auto& [key, month] : months) {
    const Fields fields = ParseLine(*line++);
    char name[16];
    std::snprintf(name, sizeof name, "%04d-%02d", key.first, key.second);
    EXPECT_EQ(Value(fields, "month"), name);
    EXPECT_EQ(Value(fields, "count"), std::to_string(month.count));
    const double mean = month.sum / month.count;
    const double coverage = month.count / hoursOf(key.first, key.second);
    EXPECT_NEAR(std::stod(Value(fields, "mean_bqm3")), mean, 0.002) << name;
    EXPECT_NEAR(std::stod(Value(fields, "coverage")), coverage, 0.0006) << name;
    if (coverage < 0.75) covered.clear();
    if (coverage >= 0.75) covered.push_back({name, mean});
    if (covered.size() >= 12) {
      double twelve = 0;
      for (std::size_t k = covered.size() - 12; k < covered.size(); ++k)
        twelve += covered[k].second;
      annual = {covered[covered.size() - 12].first, twelve / 12};
    }
  }
  ASSERT_FALSE(annual.first.empty()) << "the data should hold a covered year";
  const Fields annualLine = ParseLine(SplitLines(out_.str()).back());
  EXPECT_EQ(Value(annualLine, "annual_from"), annual.first);
  EXPECT_NEAR(std::stod(Value(annualLine, "annual_mean_bqm3")), annual.second, 0.002);
}

TEST_F(HistoryCommandTest, ExitCodesTellWrongWordsFromNothingFound) {
  EXPECT_EQ(Run({"history", "runs"}), 1);  // an empty history
  GenerateAndImport("K6", "1", "30", "2024-03-05T14:30", "attic");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    bool usage = true;  // with exit code 2: wrong words, so the usage follows
  } cases[] = {
      {{"history"}, 2},
      {{"history", "bogus"}, 2},
      {{"history", "runs", "extra"}, 2},
      {{"history", "runs", "--colour"}, 2},
      {{"history", "summary"}, 2},
      {{"history", "summary", "--instrument", "attic", "--from", "2024-03-05 00:00"}, 2},
      {{"history", "summary", "--instrument", "attic", "--levels", "high"}, 2},
      {{"history", "export", "--instrument", "attic"}, 2},
      {{"history", "site", "first", "Hall"}, 2},
      {{"history", "exclude", "1", "yes"}, 2},
      {{"history", "activity", "--last", "0"}, 2},
      {{"history", "import", "missing.Rn"}, 2, false},
      {{"history", "runs", "--now", "2024-03-05"}, 2},
      {{"history", "redate", "1"}, 2},
      {{"history", "redate", "first", "--first", "2024-03-01T10:00"}, 2},
      {{"history", "redate", "1", "--first", "2024-02-30T10:00"}, 2},
      {{"history", "redate", "1", "--first", "2024-03-01T10:00"}, 2, false},  // its clock was set
      {{"history", "instrument"}, 2},
      {{"history", "instrument", "attic", "--calibration-uncertainty", "ten"}, 2},
      {{"history", "instrument", "attic", "--calibration-uncertainty", "-1"}, 2},
      {{"history", "instrument", "attic", "--calibration-uncertainty", "100.5"}, 2},
      {{"history", "runs", "--instrument", "nobody"}, 1},
      {{"history", "summary", "--instrument", "nobody"}, 1},
      {{"history", "summary", "--instrument", "attic", "--site", "Hall"}, 1},
      {{"history", "summary", "--instrument", "attic", "--from", "2030-01-01 00:00", "--to",
        "2030-02-01 00:00"},
       1},
      {{"history", "export", "--instrument", "nobody", "-"}, 1},
      {{"history", "site", "999", "Hall"}, 1},
      {{"history", "note", "999", "Hall"}, 1},
      {{"history", "exclude", "999", "1"}, 1},
      {{"history", "redate", "999", "--first", "2024-03-01T10:00"}, 1},
      {{"history", "instrument", "nobody"}, 1},
      {{"history", "instrument", "nobody", "--calibration-uncertainty", "5"}, 1},
      {{"history", "summary", "--help"}, 0},
      {{"history", "rebuild"}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(Run(c.args), c.exitCode) << err_.str();
    if (c.exitCode == 2 && c.usage) {
      EXPECT_NE(err_.str().find("Usage: kestrum-tool history"), std::string::npos);
    }
  }
}

// A run from the year 2000 moved to where it was measured: its line, the
// export and the activity log say so; the original first time undoes it.
// The instrument's calibration uncertainty is kept and cleared again.
TEST_F(HistoryCommandTest, RedateAndCalibrationUncertaintyRoundTrip) {
  GenerateAndImport("K6", "2", "30", "2000-01-01T00:05", "cellar");
  const std::vector<Fields> before = RunLines("cellar");
  ASSERT_EQ(before.size(), 2u);
  const std::string run = Value(before[0], "run");
  ASSERT_EQ(Value(before[0], "clock_unset"), "1");
  ASSERT_EQ(Value(before[0], "redated"), "0");
  const std::string originalLine = SplitLines(out_.str()).at(0);

  // 30 hourly samples: the last 29 hours after the first.
  ASSERT_EQ(Run({"history", "redate", run, "--first", "2026-03-02T14:00", "--now",
                 "2026-03-10T09:00:00"}),
            0)
      << err_.str();
  const Lines said = SplitLines(out_.str());
  ASSERT_EQ(said.size(), 1u);
  const Fields moved = ParseLine(said[0]);
  EXPECT_EQ(Value(moved, "run"), run);
  EXPECT_EQ(Value(moved, "first"), "2026-03-02T14:00");
  EXPECT_EQ(Value(moved, "last"), "2026-03-03T19:00");
  EXPECT_EQ(Value(moved, "clock_unset"), "0");
  EXPECT_EQ(Value(moved, "redated"), "1");
  ASSERT_EQ(Run({"history", "show", run}), 0) << err_.str();
  EXPECT_EQ(SplitLines(out_.str()).at(0), said[0]);

  std::vector<std::string> times;
  for (const Lines& row : Export("cellar")) {
    if (row.size() > 1 && row[1] == run) times.push_back(row[0]);
  }
  ASSERT_EQ(times.size(), 30u);
  EXPECT_EQ(times[0], "2026-03-02T14:00");
  EXPECT_EQ(times[1], "2026-03-02T15:00");
  EXPECT_EQ(times[10], "2026-03-03T00:00");

  ASSERT_EQ(Run({"history", "activity", "--last", "1"}), 0) << err_.str();
  const Fields noted = ParseLine(SplitLines(out_.str()).at(0));
  EXPECT_EQ(Value(noted, "at"), "2026-03-10T09:00");
  EXPECT_EQ(Value(noted, "kind"), "history");
  EXPECT_EQ(Value(noted, "instrument"), "cellar");
  EXPECT_EQ(Value(noted, "text"), "Run " + run + " re-dated: first sample 2026-03-02 14:00");

  ASSERT_EQ(Run({"history", "redate", run, "--first", Value(before[0], "first")}), 0) << err_.str();
  EXPECT_EQ(SplitLines(out_.str()).at(0), originalLine);

  const std::vector<std::string> keys{
      "name",       "model",           "calibration_factor", "calibration_uncertainty_percent",
      "calibrated", "calibration_due", "certificate",        "interval_months",
      "note"};
  const auto instrument = [&](std::vector<std::string> extra) {
    std::vector<std::string> args{"history", "instrument", "cellar"};
    args.insert(args.end(), extra.begin(), extra.end());
    EXPECT_EQ(Run(args), 0) << err_.str();
    Fields fields;
    for (const std::string& line : SplitLines(out_.str())) {
      const Fields one = ParseLine(line);
      EXPECT_EQ(one.size(), 1u) << line;
      fields.insert(fields.end(), one.begin(), one.end());
    }
    EXPECT_EQ(Keys(fields), keys);
    return fields;
  };
  const Fields plain = instrument({});
  EXPECT_EQ(Value(plain, "name"), "cellar");
  EXPECT_EQ(Value(plain, "model"), "K6");
  EXPECT_GT(std::stod(Value(plain, "calibration_factor")), 0);
  EXPECT_EQ(Value(plain, "calibration_uncertainty_percent"), "none");
  EXPECT_EQ(
      Value(instrument({"--calibration-uncertainty", "12.25"}), "calibration_uncertainty_percent"),
      "12.250");
  const Fields kept = instrument({});
  EXPECT_EQ(Value(kept, "calibration_uncertainty_percent"), "12.250");
  EXPECT_EQ(Value(kept, "calibration_factor"), Value(plain, "calibration_factor"));
  EXPECT_EQ(Run({"history", "instrument", "cellar", "--calibration-uncertainty", "250"}), 2);
  EXPECT_NE(err_.str().find("\"250\""), std::string::npos) << err_.str();
  EXPECT_EQ(
      Value(instrument({"--calibration-uncertainty", "none"}), "calibration_uncertainty_percent"),
      "none");
}

// An instrument command notes itself under the name the download's runs
// take; rebuild finds the kept download again once the history is gone.
TEST_F(HistoryCommandTest, EmulatedDownloadLandsInRunsAndActivity) {
  ASSERT_EQ(Run({"generate", "--model", "K7", "--runs", "2", "--hours", "30", "k7.Rn"}), 0);
  const std::string emulate = "K7:k7.Rn";
  ASSERT_EQ(Run({"download", "--emulate", emulate, "--now", "2026-01-01T00:00:00", "out.Rn"}), 0)
      << err_.str();
  ASSERT_EQ(Run({"sync-clock", "--emulate", emulate, "--yes", "--now", "2026-01-02T10:00:00"}), 0)
      << err_.str();

  ASSERT_EQ(Run({"history", "runs"}), 0) << err_.str();
  const Lines runs = SplitLines(out_.str());
  ASSERT_EQ(runs.size(), 2u);
  const std::string instrument = Value(ParseLine(runs[0]), "instrument");
  EXPECT_EQ(instrument.rfind("K7-", 0), 0u) << instrument;
  // The run names the kept download that holds it.
  ASSERT_EQ(Run({"history", "show", Value(ParseLine(runs[0]), "run")}), 0) << err_.str();
  const Lines shown = SplitLines(out_.str());
  ASSERT_EQ(shown.size(), 3u) << out_.str();
  EXPECT_EQ(shown[0], runs[0]);
  EXPECT_EQ(shown[1], "note=\"\"");
  EXPECT_EQ(shown[2].rfind("download=" + folder_ + ".data/downloads/" + instrument + "-", 0), 0u)
      << shown[2];

  ASSERT_EQ(Run({"history", "activity"}), 0) << err_.str();
  const Lines activity = SplitLines(out_.str());
  ASSERT_EQ(activity.size(), 2u);
  const Fields clock = ParseLine(activity[0]), download = ParseLine(activity[1]);
  EXPECT_EQ(Keys(clock), (std::vector<std::string>{"at", "kind", "instrument", "text"}));
  EXPECT_EQ(Value(clock, "kind"), "clock");
  EXPECT_EQ(Value(clock, "instrument"), instrument);
  EXPECT_EQ(Value(download, "kind"), "download");
  EXPECT_EQ(Value(download, "at"), "2026-01-01T00:00");
  EXPECT_EQ(Value(download, "instrument"), instrument);
  EXPECT_EQ(Value(download, "text").rfind("Downloaded 2 runs, 60 samples", 0), 0u);

  ASSERT_EQ(std::remove((folder_ + ".data/history.sqlite").c_str()), 0);
  ASSERT_EQ(Run({"history", "rebuild"}), 0) << err_.str();
  const Lines rebuilt = SplitLines(out_.str());
  ASSERT_EQ(rebuilt.size(), 3u);
  EXPECT_EQ(rebuilt[1], "files=1 failed=0 new_runs=2 grown_runs=0 new_samples=60");
  // The log lived on in annotations.tsv.
  EXPECT_EQ(rebuilt[2], "Restored from annotations.tsv: 2 activity entries.");
  ASSERT_EQ(Run({"history", "rebuild"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "nothing changed\n");
}

}  // namespace
}  // namespace kestrum::tool
