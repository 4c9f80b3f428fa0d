// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <tuple>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "records/date_time_format.h"
#include "records/image_generator.h"
#include "records/open_data_file.h"
#include "records/text_export.h"
#include "tool/tool_command.h"
#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  return testing::SplitLines(text);
}

// Each test runs in a fresh current directory, where decode writes its files.
using ToolTest = testing::ToolFixture;
using testing::ReadWholeFile;
using testing::SamplePath;

TEST_F(ToolTest, DecodeListsTheRunsOfEachSample) {
  const struct {
    const char* file;
    std::size_t runs;
    bool debug;
  } samples[] = {{"k5-sample.Rn", 3, false},
                 {"k6-sample.Rn", 4, true},
                 {"k7-sample.Rn", 6, true},
                 {"k8-sample.Rn", 12, true}};
  for (const auto& sample : samples) {
    std::remove("debug.tmp");
    ASSERT_EQ(Run({"decode", "--now", "2026-01-01T00:00:00", SamplePath(sample.file)}), 0)
        << sample.file << ": " << err_.str();
    const std::vector<std::string> lines = Lines(out_.str());
    ASSERT_EQ(lines.size(), sample.runs + 1) << sample.file;
    EXPECT_EQ(lines.back(), "All measurements");
    EXPECT_EQ(lines[0].size(), std::string("08/01 10.00 TO 13/01 09.xx").size());
    EXPECT_EQ(err_.str(), "");
    // k5dat.tmp holds one line per sample; debug.tmp starts with this decode.
    EXPECT_FALSE(ReadWholeFile("k5dat.tmp").empty());
    EXPECT_EQ(ReadWholeFile("debug.tmp").rfind("Memo1\f", 0) == 0, sample.debug) << sample.file;
  }
  EXPECT_EQ(Lines(ReadWholeFile("k5dat.tmp")).size(), 12 * 1200u);
}

TEST_F(ToolTest, DecodeWithoutRunsExitsOneAndStillWritesTheFiles) {
  // All K8 runs start after this --now.
  EXPECT_EQ(Run({"decode", "--now=2023-01-01T00:00:00", SamplePath("k8-sample.Rn")}), 1);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(err_.str(), "No measurements saved in K5! \n");
  EXPECT_EQ(ReadWholeFile("k5dat.tmp"), "");
  const std::string debug = ReadWholeFile("debug.tmp");
  EXPECT_EQ(debug.rfind("Memo1\f", 0), 0u);
  EXPECT_EQ(debug.substr(debug.size() - 2), "\r\n");
}

TEST_F(ToolTest, DecodeRejectsBadFilesAndUsage) {
  std::ofstream("short.Rn", std::ios::binary) << "4 too short";
  EXPECT_EQ(Run({"decode", "short.Rn"}), 2);
  EXPECT_NE(err_.str().find("short.Rn: the file is too short for a K8 image"), std::string::npos);
  EXPECT_EQ(out_.str(), "");

  std::ofstream("text.Rn", std::ios::binary) << std::string(131072, 'x');
  EXPECT_EQ(Run({"decode", "text.Rn"}), 2);
  EXPECT_NE(err_.str().find("text.Rn: not a Kestrum data file"), std::string::npos);

  EXPECT_EQ(Run({"decode", "absent.Rn"}), 2);
  EXPECT_NE(err_.str().find("absent.Rn: No such file or directory"), std::string::npos);

  EXPECT_EQ(Run({"decode"}), 2);
  EXPECT_EQ(Run({"decode", "a.Rn", "b.Rn"}), 2);
  EXPECT_EQ(Run({"decode", "--when", "x", SamplePath("k5-sample.Rn")}), 2);
  EXPECT_EQ(Run({"decode", "--now", "2024-02-30T00:00:00", SamplePath("k5-sample.Rn")}), 2);
  EXPECT_EQ(Run({"decode", "--now", "2024-02-01 00:00:00", SamplePath("k5-sample.Rn")}), 2);
  EXPECT_EQ(Run({"decode", SamplePath("k5-sample.Rn"), "--now"}), 2);
  EXPECT_EQ(Run({"frobnicate"}), 2);
  EXPECT_EQ(Run({}), 2);
}

TEST_F(ToolTest, ExportIsTheSaveCommandsText) {
  ASSERT_EQ(Run({"export", "--now", "2026-01-01T00:00:00", SamplePath("k7-sample.Rn"), "out.txt"}),
            0)
      << err_.str();
  auto store = std::make_unique<MeasurementStore>();
  DecodeContext context;
  context.now = 60000;
  context.writeFiles = false;
  ASSERT_TRUE(OpenDataFile(SamplePath("k7-sample.Rn"), *store, context).ok());
  const std::string text = ReadWholeFile("out.txt");
  EXPECT_EQ(text, TextExportContent(*store, SystemDateTimeSeparators()));
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 1 + 6 * 300u);
  EXPECT_EQ(lines[0], "Time; Bqm3; Error; Temperature; Humidity%; Presssure\r");
  EXPECT_EQ(lines[1].substr(lines[1].size() - 3), "; \r");
  // export leaves no decode files behind.
  EXPECT_EQ(::access("k5dat.tmp", F_OK), -1);

  EXPECT_EQ(Run({"export", SamplePath("k5-sample.Rn")}), 2);
  EXPECT_EQ(Run({"export", SamplePath("k5-sample.Rn"), "missing/out.txt"}), 2);
  EXPECT_NE(err_.str().find("cannot write missing/out.txt: No such file or directory"),
            std::string::npos);
}

TEST_F(ToolTest, ExportWithoutRunsWritesTheHeader) {
  EXPECT_EQ(Run({"export", "--now", "2023-01-01T00:00:00", SamplePath("k8-sample.Rn"), "o.txt"}),
            1);
  EXPECT_EQ(ReadWholeFile("o.txt"), "Time; Bqm3; Error; Temperature; Humidity%; Presssure\r\n");
  EXPECT_EQ(err_.str(), "No measurements saved in K5! \n");
}

TEST_F(ToolTest, GenerateWritesTheGeneratorsImage) {
  ASSERT_EQ(Run({"generate", "--model", "K6", "--runs", "5", "--hours", "48", "--seed", "9",
                 "--start", "2022-07-01T06:45", "gen.Rn"}),
            0)
      << err_.str();
  GeneratorOptions options;
  options.model = InstrumentModel::K6;
  options.runs = 5;
  options.hours = 48;
  options.seed = 9;
  options.start = 44743 + 6.75 / 24;  // 1 July 2022, 06:45
  const std::vector<std::uint8_t> image = GenerateMemoryImage(options);
  EXPECT_EQ(ReadWholeFile("gen.Rn"), std::string(image.begin(), image.end()));

  ASSERT_EQ(Run({"decode", "gen.Rn"}), 0);
  const std::vector<std::string> lines = Lines(out_.str());
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "01/07 06.45 TO 03/07 06.xx");
}

TEST_F(ToolTest, GenerateRejectsBadOptions) {
  EXPECT_EQ(Run({"generate", "x.Rn"}), 2);  // no model
  EXPECT_EQ(Run({"generate", "--model", "K9", "x.Rn"}), 2);
  EXPECT_EQ(Run({"generate", "--model", "K5", "--runs", "28", "x.Rn"}), 2);
  EXPECT_EQ(Run({"generate", "--model", "K5", "--hours", "0", "x.Rn"}), 2);
  EXPECT_EQ(Run({"generate", "--model", "K5", "--seed", "-1", "x.Rn"}), 2);
  EXPECT_EQ(Run({"generate", "--model", "K5", "--start", "1999-12-31T10:00", "x.Rn"}), 2);
  EXPECT_EQ(Run({"generate", "--model", "K5"}), 2);
  EXPECT_EQ(::access("x.Rn", F_OK), -1);
  EXPECT_EQ(Run({"generate", "--model", "K5", "no/such/x.Rn"}), 2);
  EXPECT_EQ(Run({"generate", "--model", "K5", ""}), 2);
  EXPECT_EQ(err_.str(), "kestrum-tool generate: no file name given\n");

  // Runs reaching into 2100 would read back as 2000.
  EXPECT_EQ(Run({"generate", "--model", "K7", "--start", "2099-12-31T23:00", "late.Rn"}), 2);
  EXPECT_NE(err_.str().find("the runs would end after 2099-12-31"), std::string::npos);
  EXPECT_EQ(::access("late.Rn", F_OK), -1);
  // A sample is stamped at its hour's end: one ending on the stroke of 2100 is in 2100.
  for (const auto& [start, hours, exitCode] :
       std::vector<std::tuple<const char*, const char*, int>>{{"2099-12-31T23:00", "1", 2},
                                                              {"2099-12-28T00:00", "96", 2},
                                                              {"2099-12-28T00:00", "95", 0}}) {
    EXPECT_EQ(Run({"generate", "--model", "K7", "--start", start, "--runs", "1", "--hours", hours,
                   "last.Rn"}),
              exitCode)
        << start << " " << hours << " hours: " << err_.str();
  }
}

TEST_F(ToolTest, DashWritesToStandardOutput) {
  ASSERT_EQ(Run({"generate", "--model", "K5", "--seed", "4", "gen.Rn"}), 0);
  ASSERT_EQ(Run({"generate", "--model", "K5", "--seed", "4", "-"}), 0);
  EXPECT_EQ(out_.str(), ReadWholeFile("gen.Rn"));

  ASSERT_EQ(Run({"export", "--now", "2026-01-01T00:00:00", "gen.Rn", "out.txt"}), 0);
  ASSERT_EQ(Run({"export", "--now", "2026-01-01T00:00:00", "gen.Rn", "-"}), 0);
  EXPECT_EQ(out_.str(), ReadWholeFile("out.txt"));
  EXPECT_EQ(::access("-", F_OK), -1);
}

// Whatever was not foreseen (here the current folder deleted under the
// running program) ends with a message and exit code 2, not an abort.
TEST_F(ToolTest, UnforeseenErrorsEndWithAMessageNotAnAbort) {
  const std::string command = "mkdir gone && cd gone && rmdir ../gone && exec '" +
                              std::string(KESTRUM_TOOL_BINARY) +
                              "' download --emulate K8 out.Rn 2>'" + folder_ + "/err.txt'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(ReadWholeFile("err.txt").rfind("kestrum-tool: ", 0), 0u) << ReadWholeFile("err.txt");
}

TEST_F(ToolTest, HelpForTheToolAndEachCommand) {
  EXPECT_EQ(Run({"--help"}), 0);
  for (const char* command : {"decode", "export", "generate"}) {
    EXPECT_NE(out_.str().find(command), std::string::npos);
  }
  for (const char* command : {"decode", "export", "generate"}) {
    EXPECT_EQ(Run({command, "--help"}), 0);
    EXPECT_EQ(out_.str().rfind(std::string("Usage: kestrum-tool ") + command, 0), 0u);
  }
}

TEST_F(ToolTest, WordsOfEveryFormBeforeAndAfterTheCommand) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
    const char* stdoutHas;
    const char* stderrHas;
  } runs[] = {
      {{"-h"}, 0, "Commands:", ""},
      {{"help"}, 0, "Commands:", ""},
      {{"--version"}, 0, "kestrum-tool 2.21\n", ""},
      {{"--bogus", "decode"}, 2, "", "Unknown option 'bogus'"},
      {{"decode", "-h"}, 0, "Usage: kestrum-tool decode", ""},
      {{"means", "--error=yes", "x.Rn"}, 2, "", "Unexpected value after '--error'"},
      {{"erase", "--emulate", "K5", "--yes=1"}, 2, "", "Unexpected value after '--yes'"},
      {{"list", "--emulate", "K5", "--emulate=K8"}, 0, "1\tUSB <-> K8\tEMUK8002\taccepted", ""},
      {{"decode", "--", "--now"}, 2, "", "--now: No such file or directory"},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(run.args.front() + " " + run.args.back());
    EXPECT_EQ(Run(run.args), run.exitCode);
    EXPECT_NE(out_.str().find(run.stdoutHas), std::string::npos) << out_.str();
    EXPECT_NE(err_.str().find(run.stderrHas), std::string::npos) << err_.str();
  }
}

}  // namespace
}  // namespace kestrum::tool
