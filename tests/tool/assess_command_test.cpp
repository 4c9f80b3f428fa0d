// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool assess and history summary over a history: sites kept apart,
// overlapping runs counted once, protocols' words refused by name.
#include <map>

#include "assessment/test_csv.h"
#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

// The first value of each key, over every line of the output.
std::map<std::string, std::string> Keys(const std::string& out) {
  std::map<std::string, std::string> keys;
  for (const std::string& line : testing::SplitLines(out)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::size_t end = line.find(' ', eq);
    keys.emplace(line.substr(0, eq),
                 line.substr(eq + 1, end == std::string::npos ? end : end - eq - 1));
  }
  return keys;
}

class AssessTest : public testing::ToolFixture {
 protected:
  void Generate(const std::string& file, const std::string& hours, const std::string& start,
                const std::string& seed) {
    ASSERT_EQ(Run({"generate", "--model", "K8", "--runs", "1", "--hours", hours, "--seed", seed,
                   "--start", start, file}),
              0)
        << err_.str();
  }
};

TEST_F(AssessTest, OverlappingRunsCountOnceAndSitesAreNeverJudgedAsOne) {
  // The clock was set back: the second run starts a day before the first ends,
  // across the end of May.
  Generate("a.Rn", "4368", "2024-12-01T00:00", "1");
  Generate("b.Rn", "5160", "2025-05-31T00:00", "2");
  ASSERT_EQ(Run({"history", "import", "--instrument", "cellar", "a.Rn", "b.Rn"}), 0) << err_.str();

  ASSERT_EQ(Run({"history", "summary", "--instrument", "cellar"}), 0) << err_.str();
  const std::string summary = out_.str();
  EXPECT_EQ(summary.find("month=2025-05"), summary.rfind("month=2025-05"));  // once
  EXPECT_NE(summary.find("month=2025-05 count=744 "), std::string::npos) << summary;
  EXPECT_NE(summary.find("overlap_hours=24\n"), std::string::npos);
  EXPECT_NE(summary.find("annual_mean_bqm3="), std::string::npos);
  EXPECT_EQ(Keys(summary).at("samples"), "9504");

  ASSERT_EQ(Run({"history", "site", "1", "Basement"}), 0) << err_.str();
  ASSERT_EQ(Run({"history", "site", "2", "Bedroom"}), 0) << err_.str();
  EXPECT_EQ(Run({"assess", "--instrument", "cellar"}), 2);
  EXPECT_NE(err_.str().find("\"Basement\", \"Bedroom\""), std::string::npos) << err_.str();

  ASSERT_EQ(Run({"history", "summary", "--instrument", "cellar"}), 0);
  EXPECT_NE(out_.str().find("site=Basement\nsamples=4344\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("site=Bedroom\nsamples=5160\n"), std::string::npos);

  ASSERT_EQ(Run({"assess", "--instrument", "cellar", "--site", "Bedroom"}), 0) << err_.str();
  const auto bedroom = Keys(out_.str());
  EXPECT_EQ(bedroom.at("site"), "Bedroom");
  EXPECT_EQ(bedroom.at("hours"), "5160");
  EXPECT_EQ(bedroom.at("calibration_uncertainty_percent"), "10.000");
  EXPECT_NE(out_.str().find("calibration_uncertainty_percent=10.000 assumed=1\n"),
            std::string::npos);
  // The instrument's own, once the history knows it.
  ASSERT_EQ(Run({"history", "instrument", "cellar", "--calibration-uncertainty", "4"}), 0)
      << err_.str();
  ASSERT_EQ(Run({"assess", "--instrument", "cellar", "--site", "Bedroom"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("calibration_uncertainty_percent=4.000\n"), std::string::npos)
      << out_.str();
  // December to May is no calendar year.
  EXPECT_EQ(Run({"assess", "--instrument", "cellar", "--site", "Basement", "--protocol", "annual"}),
            1);
  EXPECT_EQ(Run({"assess", "--instrument", "cellar", "--site", "Attic"}), 1);
}

TEST_F(AssessTest, ShortTermTestOfADataFile) {
  Generate("t.Rn", "50", "2026-03-02T10:00", "3");
  const std::string now = "2026-03-10T00:00:00";
  ASSERT_EQ(Run({"assess", "t.Rn", "--run", "0", "--protocol", "us-short-term", "--now", now,
                 "--csv", "t.csv"}),
            0)
      << err_.str();
  const auto valid = Keys(out_.str());
  // Every hour of the test, the four discarded ones marked as not counted.
  const std::vector<std::string> rows = testing::SplitLines(testing::ReadWholeFile("t.csv"));
  ASSERT_EQ(rows.size(), 51u);
  EXPECT_EQ(rows[0], kTestCsvHeader);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].substr(rows[i].size() - 4), i <= 4 ? ",0,0" : ",1,0") << rows[i];
  }
  EXPECT_EQ(rows[5].substr(0, 17), "2026-03-02T15:00,");
  EXPECT_EQ(valid.at("hours_discarded"), "4");
  EXPECT_EQ(valid.at("hours"), "46");
  EXPECT_EQ(valid.at("valid"), "1");
  EXPECT_EQ(valid.at("first"), "2026-03-02T15:00");
  EXPECT_EQ(valid.at("result_pcil").size(), 3u);
  ASSERT_EQ(Run({"assess", "t.Rn", "--run", "0", "--protocol", "us-short-term",
                 "--closed-building-late", "--now", now}),
            0);
  EXPECT_EQ(Keys(out_.str()).at("invalid"), "too_short");
  EXPECT_EQ(Keys(out_.str()).count("action"), 0u);
}

// The report a tester hands over: the calibration, the result as the
// assessment prints it, the advice of a US short-term test, the user's
// words as text, every hour of the test; the client is kept with the site.
TEST_F(AssessTest, TestReportCarriesCalibrationResultAdviceAndEveryHour) {
  Generate("t.Rn", "50", "2026-03-02T10:00", "3");
  ASSERT_EQ(Run({"history", "import", "--instrument", "K8-T1", "t.Rn"}), 0) << err_.str();
  ASSERT_EQ(Run({"history", "site", "1", "Basement"}), 0);
  ASSERT_EQ(Run({"history", "instrument", "K8-T1", "--calibrated", "2026-01-15", "--certificate",
                 "PTB 123/26"}),
            0)
      << err_.str();
  const std::vector<std::string> test = {"assess",     "--instrument",  "K8-T1",
                                         "--protocol", "us-short-term", "--csv",
                                         "t.csv",      "--report",      "t.pdf"};
  std::vector<std::string> first = test;
  for (const char* word : {"--client", "Jane <b>Doe</b> &amp;", "--operator", "A. Tester",
                           "--certification", "NRPP 1234"}) {
    first.emplace_back(word);
  }
  ASSERT_EQ(Run(first), 0) << err_.str();
  const auto keys = Keys(out_.str());
  const std::string text = testing::PdfText("t.pdf");
  ASSERT_EQ(Run(test), 0) << err_.str();  // the client is asked once
  EXPECT_NE(testing::PdfText("t.pdf").find("Jane <b>Doe</b>"), std::string::npos);
  for (const std::string& expected :
       {std::string("2026-01-15"), std::string("PTB 123/26"), std::string("current"),
        keys.at("result_pcil") + " pCi/L", std::string("consider having the home fixed"),
        std::string("heating runs day and night"), std::string("every few years"),
        std::string("Jane <b>Doe</b> &amp;"), std::string("NRPP 1234")}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  }
  const std::vector<std::string> rows = testing::SplitLines(testing::ReadWholeFile("t.csv"));
  ASSERT_EQ(rows.size(), 51u);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const std::string hour = rows[i].substr(0, 10) + " " + rows[i].substr(11, 5);
    EXPECT_NE(text.find(hour), std::string::npos) << hour;
  }
}

// Two monitors side by side at one site: each one's mean over the shared
// hours is what assessing the other alone gives; another site is never mixed in.
TEST_F(AssessTest, CollocatedInstrumentsAndConditionMarks) {
  Generate("n.Rn", "100", "2026-03-02T10:00", "3");
  Generate("s.Rn", "100", "2026-03-02T10:20", "4");
  Generate("far.Rn", "100", "2026-03-02T10:00", "5");
  for (const char* name : {"n", "s", "far"}) {
    ASSERT_EQ(Run({"history", "import", "--instrument", name, std::string(name) + ".Rn"}), 0);
  }
  ASSERT_EQ(Run({"history", "site", "1", "Basement"}), 0);
  ASSERT_EQ(Run({"history", "site", "2", "Basement"}), 0);
  ASSERT_EQ(Run({"history", "site", "3", "Attic"}), 0);
  const auto valueOf = [](const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key + "=");
    EXPECT_NE(at, std::string::npos) << key;
    return at == std::string::npos ? 0.0 : std::stod(text.substr(at + key.size() + 1));
  };
  ASSERT_EQ(Run({"assess", "--instrument", "s", "--site", "Basement"}), 0) << err_.str();
  const double south = valueOf(out_.str(), "\nmean_bqm3");
  ASSERT_EQ(Run({"assess", "--instrument", "n", "--site", "Basement"}), 0) << err_.str();
  const std::string out = out_.str();
  const double north = valueOf(out, "\nmean_bqm3");
  ASSERT_NE(out.find("collocated=s shared_hours=100 "), std::string::npos) << out;
  EXPECT_EQ(out.find("collocated=far"), std::string::npos) << "another site is never compared";
  const std::string line = out.substr(out.find("collocated=s"));
  EXPECT_NEAR(valueOf(line, " mean_bqm3"), south, 0.001);
  EXPECT_NEAR(valueOf(line, "own_mean_bqm3"), north, 0.001);
  EXPECT_NEAR(valueOf(line, "rpd_percent"), std::abs(north - south) / ((north + south) / 2) * 100,
              0.01);

  for (const char* thresholds : {"0.001,0.001,0.001", "100,100,100"}) {
    ASSERT_EQ(
        Run({"assess", "--instrument", "n", "--site", "Basement", "--thresholds", thresholds}), 0);
    const std::string marks = out_.str();
    std::size_t lines = 0;
    for (std::size_t at = marks.find("\ncondition="); at != std::string::npos;
         at = marks.find("\ncondition=", at + 1)) {
      ++lines;
    }
    EXPECT_EQ(static_cast<double>(lines), valueOf(marks, "conditions")) << thresholds;
    EXPECT_EQ(lines > 0, std::string(thresholds) == "0.001,0.001,0.001") << marks;
  }
}

TEST_F(AssessTest, RefusalsNameTheWord) {
  Generate("t.Rn", "100", "2026-03-02T10:00", "3");
  std::ofstream("eleven.txt") << "1 1\n2 1\n3 1\n4 1\n5 1\n6 1\n7 1\n8 1\n9 1\n10 1\n11 1\n";
  const struct {
    std::vector<std::string> words;
    const char* named;
  } cases[] = {
      {{"--protocol", "bogus"}, "\"bogus\""},
      {{"--protocol", "workplace", "--hours", "Mon-Fry 08:00-18:00"}, "\"Mon-Fry\""},
      {{"--protocol", "long-term"}, "--profile"},
      {{"--protocol", "long-term", "--profile", "missing.txt"}, "missing.txt"},
      {{"--protocol", "long-term", "--profile", "eleven.txt"}, "month 12"},
      {{"--calibration-uncertainty", "101"}, "\"101\""},
      {{"--levels", "100,x"}, "\"100,x\""},
      {{"--discard-hours", "6"}, "us-short-term"},
      {{"--protocol", "us-short-term", "--discard-hours", "-1"}, "\"-1\""},
      {{"--protocol", "workplace", "--profile", "eleven.txt"}, "long-term"},
      {{"--thresholds", "3,10"}, "\"3,10\""},
      {{"--report", "-"}, "\"-\""},
      {{"--report", "r.pdf", "--paper", "a5"}, "\"a5\""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"assess", "t.Rn", "--run", "0", "--now", "2026-04-01T00:00:00"};
    args.insert(args.end(), c.words.begin(), c.words.end());
    EXPECT_EQ(Run(args), 2) << c.named;
    EXPECT_NE(err_.str().find(c.named), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str(), "");
  }
}

}  // namespace
}  // namespace kestrum::tool
