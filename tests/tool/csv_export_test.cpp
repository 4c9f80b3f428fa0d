// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool export --format csv: every sample file read back by Python's
// csv module as a spreadsheet would, and the run and time selection on a
// hand-built file whose samples are known.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "records/date_time.h"
#include "records/image_builder.h"
#include "records/open_data_file.h"
#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

using kestrum::testing::ImageBuilder;
using kestrum::testing::Stamp;
using testing::ReadWholeFile;
using testing::SamplePath;
using testing::SplitLines;

std::string SourcePath(const std::string& relative) {
  const char* root = std::getenv("KESTRUM_SOURCE_DIR");
  return std::string(root ? root : "../..") + "/" + relative;
}

class CsvExportTest : public testing::ToolFixture {};

TEST_F(CsvExportTest, EverySampleFileReadsBackInPython) {
  const struct {
    const char* stem;
    bool environment, pressure;  // K6 on: temperature and humidity; K7 on: pressure
  } files[] = {{"k5-sample", false, false},
               {"k6-sample", true, false},
               {"k7-sample", true, true},
               {"k8-sample", true, true}};
  for (const auto& f : files) {
    const std::string sample = SamplePath(std::string(f.stem) + ".Rn");
    ASSERT_EQ(Run({"export", "--format", "csv", "--now", "2026-01-01T00:00:00", sample, "out.csv"}),
              0)
        << err_.str();
    // The decode's own count of stamped samples, each of which must be a row.
    auto store = std::make_unique<MeasurementStore>();
    DecodeContext context;
    context.now = EncodeDate(2026, 1, 1);
    context.writeFiles = false;
    ASSERT_TRUE(OpenDataFile(sample, *store, context).ok());
    int stamped = 0;
    for (int i = 0; i <= store->LastSampleIndex; ++i) stamped += store->Samples[i].Time != 0;

    const std::string command =
        "python3 '" + SourcePath("tests/tool/check_sample_csv.py") + "' out.csv '" +
        SourcePath("tests/data/" + std::string(f.stem) + ".export.txt") + "' " +
        std::to_string(stamped) + " " + std::to_string(store->RunCount) + " " +
        (f.environment ? "1" : "0") + " " + (f.pressure ? "1" : "0");
    EXPECT_EQ(std::system(command.c_str()), 0) << f.stem;
  }
}

// Run 0: 2024-03-05 01:30 .. 06:30, 10 .. 60 pulses at calibration 6.25, so
// 62.5 .. 375 Bq/m3; run 1: 2024-03-06 01:15, 8 pulses, 50 Bq/m3.
void WriteHandFile(const std::string& path) {
  ImageBuilder b(InstrumentModel::K5);
  b.Calibration(6, 25).DirectorySlot(3).WritePointer(982);
  b.Slot(1, 1000, Stamp(2024, 3, 5, 0, 30)).Slot(2, 986, Stamp(2024, 3, 6, 0, 15));
  for (int n = 0; n < 7; ++n) b.Pulses(999 - 2 * n, static_cast<std::uint16_t>(10 * (n + 1)));
  b.Pulses(985, 8).Pulses(983, 9);  // K5 runs hide their last stored sample
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.image().data()), 8192);
}

TEST_F(CsvExportTest, RunsAndRangesChooseTheRows) {
  WriteHandFile("hand.Rn");
  const struct {
    std::vector<std::string> words;
    int exitCode;
    std::vector<std::string> rows;  // each row's start, up to the pulses
  } cases[] = {
      {{},
       0,
       {"2024-03-05T01:30,0,62.500,", "2024-03-05T02:30,0,125.000,", "2024-03-05T03:30,0,187.500,",
        "2024-03-05T04:30,0,250.000,", "2024-03-05T05:30,0,312.500,", "2024-03-05T06:30,0,375.000,",
        "2024-03-06T01:15,1,50.000,"}},
      {{"--run", "1"}, 0, {"2024-03-06T01:15,1,50.000,"}},
      // Both ends included, though sample times miss their minute by a rounding step.
      {{"--run", "0", "--from", "2024-03-05 02:30", "--to", "2024-03-05 04:30"},
       0,
       {"2024-03-05T02:30,0,125.000,", "2024-03-05T03:30,0,187.500,",
        "2024-03-05T04:30,0,250.000,"}},
      {{"--from", "2024-03-05 06:30", "--to", "2024-03-06 01:15"},
       0,
       {"2024-03-05T06:30,0,375.000,", "2024-03-06T01:15,1,50.000,"}},
      {{"--from", "2025-01-01 00:00", "--to", "2025-01-02 00:00"}, 1, {}},
      {{"--run", "2"}, 2, {}},
      {{"--run", "x"}, 2, {}},
      {{"--from", "2024-03-05 02:30"}, 2, {}},
  };
  for (const auto& c : cases) {
    std::remove("out.csv");
    std::vector<std::string> args = {"export", "--format", "csv"};
    args.insert(args.end(), c.words.begin(), c.words.end());
    args.insert(args.end(), {"hand.Rn", "out.csv"});
    const std::string label = ::testing::PrintToString(c.words);
    ASSERT_EQ(Run(args), c.exitCode) << label << err_.str();
    const std::vector<std::string> lines = SplitLines(ReadWholeFile("out.csv"));
    if (c.exitCode != 0) {
      EXPECT_TRUE(lines.empty()) << label;
      continue;
    }
    ASSERT_EQ(lines.size(), c.rows.size() + 1) << label;
    EXPECT_EQ(lines[0],
              "time,run,bqm3,error_bqm3,pulses,temperature_c,humidity_percent,"
              "pressure_kpa");
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      EXPECT_EQ(lines[i + 1].rfind(c.rows[i], 0), 0u) << label << ": " << lines[i + 1];
      // A K5 has no environmental sensors.
      EXPECT_EQ(lines[i + 1].substr(lines[i + 1].size() - 3), ",,,") << lines[i + 1];
    }
  }
}

TEST_F(CsvExportTest, TextExportKeepsItsWords) {
  WriteHandFile("hand.Rn");
  // The selection words belong to the CSV only; the text export is unchanged.
  EXPECT_EQ(Run({"export", "--run", "0", "hand.Rn", "out.txt"}), 2);
  EXPECT_EQ(Run({"export", "--format", "xls", "hand.Rn", "out.txt"}), 2);
  ASSERT_EQ(Run({"export", "--format", "text", "hand.Rn", "out.txt"}), 0) << err_.str();
  EXPECT_EQ(ReadWholeFile("out.txt").rfind("Time; Bqm3; Error\r\n", 0), 0u);
}

}  // namespace
}  // namespace kestrum::tool
