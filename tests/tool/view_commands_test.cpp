// SPDX-License-Identifier: GPL-3.0-or-later
// The means and level commands on a hand-built K5 file whose concentrations
// are known: calibration factor 6.25, so that means have fractions.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "records/date_time.h"
#include "records/image_builder.h"
#include "tool/tool_command.h"
#include "tool/tool_fixture.h"

using kestrum::tool::testing::SamplePath;
#include "views/date_time_text.h"

namespace kestrum::tool {
namespace {

using kestrum::testing::ImageBuilder;
using kestrum::testing::Stamp;

std::vector<std::string> Lines(const std::string& text) {
  return testing::SplitLines(text);
}

// Run 0: 2024-03-05 00:30, six samples shown (01:30 .. 06:30) with 10, 20,
// .., 60 pulses, i.e. 62.5, 125, 187.5, 250, 312.5, 375 Bq/m3.
// Run 1: 2024-03-06 00:15, one sample shown (01:15), 8 pulses = 50 Bq/m3.
// Start + (n + 1) / 24 lands a rounding step above the encoded 02:30 of
// the 5th and below the encoded 01:15 of the 6th.
void WriteHandFile(const std::string& path) {
  ImageBuilder b(InstrumentModel::K5);
  b.Calibration(6, 25).DirectorySlot(3).WritePointer(982);
  b.Slot(1, 1000, Stamp(2024, 3, 5, 0, 30)).Slot(2, 986, Stamp(2024, 3, 6, 0, 15));
  for (int n = 0; n < 7; ++n) b.Pulses(999 - 2 * n, static_cast<std::uint16_t>(10 * (n + 1)));
  b.Pulses(985, 8).Pulses(983, 9);  // K5 runs hide their last stored sample
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.image().data()), 8192);
}

class ViewCommandsTest : public testing::ToolFixture {
 protected:
  void SetUp() override {
    ToolFixture::SetUp();
    file_ = folder_ + "/hand.Rn";
    WriteHandFile(file_);
  }
  std::string Footer(int y, int mo, int d, int h, int mi, int y2, int mo2, int d2, int h2, int mi2,
                     const std::string& numbers) {
    const DateTimeFormats formats = SystemDateTimeFormats();
    const DateTime from = EncodeDate(y, mo, d) + EncodeTime(h, mi, 0, 0);
    const DateTime to = EncodeDate(y2, mo2, d2) + EncodeTime(h2, mi2, 0, 0);
    return "StartTime: " + FormatDateAndTime(from, formats).toStdString() +
           ", EndTime: " + FormatDateAndTime(to, formats).toStdString() +
           " Radonlevel :" + numbers + "\n";
  }

  std::string file_;
};

TEST_F(ViewCommandsTest, MovingMeansKeepTheirFractions) {
  // Exact window sums: (62.5 + 125) / 2 = 93.75; a sum rounded after every
  // add would give 187 / 2 = 93.5.
  ASSERT_EQ(Run({"means", file_, "--run", "0", "--interval", "2h"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "# interval 2h\n"
            "2024-03-05 02:30;93.750\n"
            "2024-03-05 03:30;156.250\n"
            "2024-03-05 04:30;218.750\n"
            "2024-03-05 05:30;281.250\n"
            "2024-03-05 06:30;343.750\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(ViewCommandsTest, ErrorBarsStartWithTheSecondWindow) {
  // 4h over six samples: three points; the first window has no bar, the
  // next two carry mean / sqrt(pulses in the window): 140 and 180 pulses.
  ASSERT_EQ(Run({"means", "--interval=4h", "--error", file_, "--run", "0"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "# interval 4h\n"
            "2024-03-05 04:30;156.250\n"
            "2024-03-05 05:30;218.750;18.488\n"
            "2024-03-05 06:30;281.250;20.963\n");

  // The running mean has a bar on every point (pulses 10, 30, 60, ...).
  ASSERT_EQ(Run({"means", file_, "--run", "0", "--interval", "Mean", "--error"}), 0);
  EXPECT_EQ(out_.str(),
            "# interval Mean\n"
            "2024-03-05 01:30;62.500;19.764\n"
            "2024-03-05 02:30;93.750;17.116\n"
            "2024-03-05 03:30;125.000;16.137\n"
            "2024-03-05 04:30;156.250;15.625\n"
            "2024-03-05 05:30;187.500;15.309\n"
            "2024-03-05 06:30;218.750;15.095\n");
}

TEST_F(ViewCommandsTest, ShortRunsStepDownToShorterIntervals) {
  // Six samples: 12h and 8h need at least 14 and 10, so 4h is used.
  ASSERT_EQ(Run({"means", file_, "--run", "0", "--interval", "12h"}), 0);
  EXPECT_EQ(err_.str(),
            "Mean intervall > number of measurements\n"
            "Mean intervall > number of measurements\n");
  EXPECT_EQ(Lines(out_.str()).size(), 4u);
  EXPECT_EQ(Lines(out_.str())[0], "# interval 4h");

  // One sample: from "Mean" through "7d" .. "2h", eight messages, no points.
  EXPECT_EQ(Run({"means", file_, "--run", "1", "--interval", "Mean"}), 1);
  EXPECT_EQ(out_.str(), "# interval 2h\n");
  EXPECT_EQ(Lines(err_.str()),
            std::vector<std::string>(8, "Mean intervall > number of measurements"));
}

TEST_F(ViewCommandsTest, MeansRejectWhatNamesNoRun) {
  EXPECT_EQ(Run({"means", file_, "--run", "2", "--interval", "2h"}), 2);  // "All measurements"
  EXPECT_NE(err_.str().find("names no run"), std::string::npos);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(Run({"means", file_, "--run", "-1", "--interval", "2h"}), 2);
  EXPECT_EQ(Run({"means", file_, "--run", "x", "--interval", "2h"}), 2);
  EXPECT_EQ(Run({"means", file_, "--run", "0", "--interval", "3h"}), 2);
  EXPECT_EQ(Run({"means", file_, "--interval", "2h"}), 2);
  EXPECT_EQ(Run({"means", file_, "--run", "0"}), 2);
  EXPECT_EQ(Run({"means", "--run", "0", "--interval", "2h"}), 2);
  EXPECT_EQ(Run({"means", folder_ + "/absent.Rn", "--run", "0", "--interval", "2h"}), 2);
  // All K8 runs start after this clock: no runs at all.
  EXPECT_EQ(Run({"means", "--now", "2023-01-01T00:00:00", SamplePath("k8-sample.Rn"), "--run", "0",
                 "--interval", "2h"}),
            1);
  EXPECT_EQ(err_.str(), "No measurements saved in K5! \n");
}

TEST_F(ViewCommandsTest, MeansOfASampleRun) {
  // 300 samples and 24h: 277 points, all but the first with an error.
  ASSERT_EQ(Run({"means", "--now", "2026-01-01T00:00:00", SamplePath("k7-sample.Rn"), "--run", "5",
                 "--interval", "24h", "--error"}),
            0)
      << err_.str();
  const std::vector<std::string> lines = Lines(out_.str());
  ASSERT_EQ(lines.size(), 1 + 277u);
  EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ';'), 1);
  for (std::size_t i = 2; i < lines.size(); ++i) {
    ASSERT_EQ(std::count(lines[i].begin(), lines[i].end(), ';'), 2) << lines[i];
  }
}

TEST_F(ViewCommandsTest, LevelIsTheMeanOfTheRangeBothEndsIncluded) {
  // 01:30 .. 02:30 holds 62.5 + 125 = 187.5 (30 pulses): level 93.75,
  // R = 1 / sqrt(30) = 0.183, error 17.1.
  ASSERT_EQ(Run({"level", file_, "--from", "2024-03-05 01:30", "--to", "2024-03-05 02:30"}), 0)
      << err_.str();
  EXPECT_EQ(out_.str(), Footer(2024, 3, 5, 1, 30, 2024, 3, 5, 2, 30,
                               "93\xC2\xB1"
                               "17"));

  // One sample: its own concentration, 50 (8 pulses, R = 0.354, error 17.7).
  ASSERT_EQ(Run({"level", file_, "--from", "2024-03-06 01:15", "--to", "2024-03-06 01:15"}), 0);
  EXPECT_EQ(out_.str(), Footer(2024, 3, 6, 1, 15, 2024, 3, 6, 1, 15,
                               "50\xC2\xB1"
                               "17"));

  // Every run counts: 375 (60 pulses) and 50 (8 pulses) give 212.5,
  // R = 1 / sqrt(68), error 25.8.
  ASSERT_EQ(Run({"level", file_, "--from", "2024-03-05 06:30", "--to", "2024-03-06 01:15"}), 0);
  EXPECT_EQ(out_.str(), Footer(2024, 3, 5, 6, 30, 2024, 3, 6, 1, 15,
                               "212\xC2\xB1"
                               "25"));

  // Between two samples: nothing visible, level and error 0.
  ASSERT_EQ(Run({"level", file_, "--from", "2024-03-05 02:31", "--to", "2024-03-05 03:29"}), 0);
  EXPECT_EQ(out_.str(), Footer(2024, 3, 5, 2, 31, 2024, 3, 5, 3, 29,
                               "0\xC2\xB1"
                               "0"));
}

TEST_F(ViewCommandsTest, SummaryOfAHandBuiltRun) {
  // Run 0: 62.5 .. 375 Bq/m3, sum 1312.5 (210 pulses, R = 0.069 raised to
  // 0.1): mean 218.75 +- 21.875. Six hours are under three full days: the
  // day-to-day variation is not known, so no level is decided.
  ASSERT_EQ(Run({"summary", file_, "--run", "0", "--levels", "100,200,300"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "samples=6\nfirst=2024-03-05T01:30\nlast=2024-03-05T06:30\n"
            "mean_bqm3=218.750\nuncertainty_bqm3=21.875\n"
            "max_bqm3=375.000\nmax_at=2024-03-05T06:30\nmin_bqm3=62.500\nmin_at=2024-03-05T01:30\n"
            "level=100.000 hours_above=5 verdict=undecided more_days=none reason=too_short\n"
            "level=200.000 hours_above=3 verdict=undecided more_days=none reason=too_short\n"
            "level=300.000 hours_above=2 verdict=undecided more_days=none reason=too_short\n"
            "day=2024-03-05 count=6 mean_bqm3=218.750\n");
  // Both ends included: 125 and 187.5.
  ASSERT_EQ(Run({"summary", file_, "--run", "0", "--from", "2024-03-05 02:30", "--to",
                 "2024-03-05 03:30"}),
            0);
  EXPECT_NE(out_.str().find("samples=2\n"), std::string::npos);
  EXPECT_NE(out_.str().find("mean_bqm3=156.250\n"), std::string::npos);
  // A range between two samples holds none.
  EXPECT_EQ(Run({"summary", file_, "--run", "0", "--from", "2024-03-05 02:31", "--to",
                 "2024-03-05 03:29"}),
            1);
  EXPECT_EQ(Run({"summary", file_, "--run", "0", "--levels", "100,x"}), 2);
  EXPECT_EQ(Run({"summary", file_, "--run", "2"}), 2);
}

// The report's page holds the summary's figures; read back with pdftotext.
TEST_F(ViewCommandsTest, ReportPageCarriesTheSummary) {
  const std::string pdf = folder_ + "/report.pdf";
  ASSERT_EQ(Run({"report", file_, "--run", "0", "--levels", "100,200,300", pdf}), 0) << err_.str();
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  const std::string text = testing::ReadWholeFile(pdf + ".txt");
  for (const char* expected :
       {"Radon measurement report", "K5, calibration factor 6.25", "hand.Rn", "2024-03-05 01:30",
        "219 \xC2\xB1 22 Bq/m3", "375 Bq/m3 at 2024-03-05 06:30",
        "Too short to judge the day-to-day variation: measure at least 3 full days.",
        "WHO 100 Bq/m3: too short to judge, measure at least 3 full days (5 hours",
        "Custom 200 Bq/m3: too short to judge", "Protocol", "Period", "(10 %, assumed)",
        "Radon, hourly", "EU 300 Bq/m3"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  }
  ASSERT_EQ(Run({"report", file_, "--run", "0", "--units", "pcil", "--site", "Cellar 1",
                 "--operator", "A. Tester", pdf}),
            0)
      << err_.str();
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  EXPECT_NE(testing::ReadWholeFile(pdf + ".txt").find("Cellar 1"), std::string::npos);
  EXPECT_NE(testing::ReadWholeFile(pdf + ".txt").find("A. Tester"), std::string::npos);
  // Without --levels the verdicts are against the standard levels.
  EXPECT_NE(testing::ReadWholeFile(pdf + ".txt").find("US action"), std::string::npos);
  // 218.75 / 37 = 5.91, 21.875 / 37 = 0.59.
  EXPECT_NE(testing::ReadWholeFile(pdf + ".txt").find("5.91 \xC2\xB1 0.59 pCi/L"),
            std::string::npos);
}

TEST_F(ViewCommandsTest, LevelRejectsBadRanges) {
  EXPECT_EQ(Run({"level", file_, "--from", "2024-03-05 03:30", "--to", "2024-03-05 02:30"}), 2);
  EXPECT_EQ(Run({"level", file_, "--from", "2024-03-05", "--to", "2024-03-05 16:30"}), 2);
  EXPECT_EQ(Run({"level", file_, "--from", "2024-02-30 10:00", "--to", "2024-03-05 16:30"}), 2);
  EXPECT_EQ(Run({"level", file_, "--to", "2024-03-05 16:30"}), 2);
  EXPECT_EQ(Run({"level", "--from", "2024-03-05 10:00", "--to", "2024-03-05 16:30"}), 2);
  EXPECT_EQ(out_.str(), "");
}

TEST_F(ViewCommandsTest, HelpForMeansAndLevel) {
  for (const char* command : {"means", "level"}) {
    EXPECT_EQ(Run({command, "--help"}), 0);
    EXPECT_EQ(out_.str().rfind(std::string("Usage: kestrum-tool ") + command, 0), 0u);
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out_.str().find(std::string("  ") + command + " "), std::string::npos);
  }
}

}  // namespace
}  // namespace kestrum::tool
