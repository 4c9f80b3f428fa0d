// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument commands of kestrum-tool against emulated instruments.
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "file_faults.h"
#include "tool/terminal_window.h"
#include "tool/tool_command.h"
#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

using Lines = std::vector<std::string>;
using testing::ReadWholeFile;
using testing::SamplePath;
using testing::SplitLines;

class InstrumentCommandTest : public testing::ToolFixture {
 protected:
  void TearDown() override {
    SetAnswerStream(nullptr);
    ToolFixture::TearDown();
  }
  Lines Trace() const { return SplitLines(ReadWholeFile("trace.txt")); }
};

TEST_F(InstrumentCommandTest, ListShowsEveryConverterAndWhichAreAccepted) {
  ASSERT_EQ(Run({"list", "--emulate", "K8", "--emulate", "K5@FT230X Basic UART", "--emulate",
                 "K6@USB <-> k5"}),
            0);
  EXPECT_EQ(SplitLines(out_.str()),
            (Lines{"0\tUSB <-> K8\tEMUK8001\taccepted", "1\tFT230X Basic UART\tEMUK5002\taccepted",
                   "2\tUSB <-> k5\tEMUK6003"}));
}

// The download gives back the emulated memory but for the positions that
// the exchange takes from an earlier read (zero in a fresh program), and the
// runs of that memory read as a file.
TEST_F(InstrumentCommandTest, DownloadGivesBackEachSampleAndItsRuns) {
  const struct {
    const char* model;
    const char* file;
    std::vector<std::size_t> stale;
  } cases[] = {
      {"K5", "k5-sample.Rn", {8191}},        // the last low nibble
      {"K6", "k6-sample.Rn", {32767}},       // the last low nibble
      {"K7", "k7-sample.Rn", {16, 131071}},  // coefficient byte 8, the byte never sent
      {"K8", "k8-sample.Rn", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    const std::string sample = SamplePath(c.file);
    ASSERT_EQ(Run({"decode", "--now", "2026-01-01T00:00:00", sample}), 0) << err_.str();
    const std::string runs = out_.str();

    ASSERT_EQ(Run({"download", "--emulate", std::string(c.model) + ":" + sample, "--now",
                   "2026-01-01T00:00:00", "out.Rn"}),
              0)
        << err_.str();
    EXPECT_EQ(out_.str(), runs);

    const std::string original = ReadWholeFile(sample);
    const std::string copy = ReadWholeFile("out.Rn");
    ASSERT_EQ(copy.size(), original.size());
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < copy.size(); ++i) {
      if (copy[i] != original[i]) differing.push_back(i);
    }
    for (std::size_t i : differing) {
      EXPECT_NE(std::find(c.stale.begin(), c.stale.end(), i), c.stale.end()) << "byte " << i;
    }
    if (std::string(c.model) == "K5" || std::string(c.model) == "K6") {
      const std::size_t last = c.stale[0];
      EXPECT_EQ(static_cast<unsigned char>(copy[last]),
                static_cast<unsigned char>(original[last]) & 0xF0);
    }
  }
}

TEST_F(InstrumentCommandTest, DownloadTraceOfAK8) {
  ASSERT_EQ(Run({"download", "--emulate", "K8", "--trace", "trace.txt", "--now",
                 "2026-01-01T00:00:00", "out.Rn"}),
            0)
      << err_.str();
  EXPECT_EQ(Trace(), (Lines{"open EMUK8001 -> 0", "data 8 0 0 -> 0", "flow 0 17 19 -> 0",
                            "baud 230400 -> 0", "write A3 4D 0A -> 3", "read 131072 -> 131072",
                            "purge rx -> 0", "purge tx -> 0", "sleep 25", "write A3 50 0A -> 3",
                            "sleep 1", "read 8 -> 8", "sleep 1", "close -> 0"}));
  EXPECT_EQ(ReadWholeFile("RN4.tmp"), ReadWholeFile("out.Rn"));
  EXPECT_EQ(SplitLines(ReadWholeFile("K84E.csv")).size(), 256u);
}

TEST_F(InstrumentCommandTest, DownloadFailuresExitTwo) {
  EXPECT_EQ(Run({"download", "--emulate", "K5@FT230X Basic UART", "out.Rn"}), 2);
  EXPECT_NE(err_.str().find("takes no download"), std::string::npos) << err_.str();
  EXPECT_EQ(Run({"download", "--emulate", "K5@Other", "out.Rn"}), 2);
  EXPECT_NE(err_.str().find("no Kestrum attached"), std::string::npos);
  EXPECT_EQ(Run({"download", "--emulate", "K8", "--serial", "NOPE", "out.Rn"}), 2);
  EXPECT_NE(err_.str().find("NOPE"), std::string::npos);
  EXPECT_EQ(Run({"download", "--emulate", "K8"}), 2);                // no output file
  EXPECT_EQ(Run({"download", "--yes", "--emulate", "K8", "x"}), 2);  // not its option
  EXPECT_EQ(Run({"download", "--emulate", "K9", "x.Rn"}), 2);
  EXPECT_EQ(::access("out.Rn", F_OK), -1);
}

TEST_F(InstrumentCommandTest, DownloadWithoutRunsExitsOneAndKeepsTheImage) {
  std::string erased(131072, '\xFF');
  erased[0] = '4';
  // The pressure sensor keeps its coefficients through an erase.
  const char coefficients[] = "\x3E\xCE\xB3\xF9\xC5\x17\x33\xC8";
  std::copy(coefficients, coefficients + 8, erased.begin() + 9);
  std::ofstream("erased.Rn", std::ios::binary) << erased;
  EXPECT_EQ(Run({"download", "--emulate", "K8:erased.Rn", "out.Rn"}), 1);
  EXPECT_NE(err_.str().find("No measurements saved in K5! "), std::string::npos);
  EXPECT_EQ(ReadWholeFile("out.Rn"), erased);
}

TEST_F(InstrumentCommandTest, DownloadToStandardOutputSendsTheItemsToStandardError) {
  ASSERT_EQ(Run({"download", "--emulate", "K8", "--now", "2026-01-01T00:00:00", "out.Rn"}), 0);
  const std::string items = out_.str();
  ASSERT_EQ(Run({"download", "--emulate", "K8", "--now", "2026-01-01T00:00:00", "-"}), 0);
  EXPECT_EQ(out_.str(), ReadWholeFile("out.Rn"));
  EXPECT_NE(err_.str().find(items), std::string::npos);
}

TEST_F(InstrumentCommandTest, DownloadKeepsItsImageInTheDataFolderUnlessToldNot) {
  ASSERT_EQ(Run({"download", "--emulate", "K7", "--now", "2026-01-01T00:00:00", "out.Rn"}), 0);
  const std::string kept = folder_ + ".data/downloads/K7-EMUK7001-20260101-000000.Rn";
  EXPECT_NE(err_.str().find("kept as " + kept + "\n"), std::string::npos) << err_.str();
  EXPECT_EQ(ReadWholeFile(kept), ReadWholeFile("out.Rn"));
  ASSERT_EQ(Run({"download", "--emulate", "K7", "--no-keep", "out.Rn"}), 0);
  EXPECT_EQ(err_.str().find("kept as"), std::string::npos) << err_.str();
  EXPECT_FALSE(std::filesystem::exists(kept + "-2.Rn"));
  // The erase knows about it.
  ASSERT_EQ(Run({"erase", "--emulate", "K7", "--yes"}), 0);
  EXPECT_NE(err_.str().find("The memory downloaded at 2026-01-01 00:00:00 is kept in"),
            std::string::npos)
      << err_.str();
}

// A trace that cannot be written fails the command, with the reason.
TEST_F(InstrumentCommandTest, TraceThatCannotBeWrittenIsAnError) {
  std::ofstream("trace.txt") << "earlier trace";
  int status;
  {
    kestrum::testing::FullDisk full(64);
    status = Run({"sync-clock", "--emulate", "K8", "--yes", "--trace", "trace.txt"});
  }
  EXPECT_EQ(status, 2);
  EXPECT_NE(err_.str().find("cannot write the trace file trace.txt: File too large"),
            std::string::npos)
      << err_.str();
  EXPECT_EQ(ReadWholeFile("trace.txt"), "earlier trace");
}

TEST_F(InstrumentCommandTest, DownloadPicksTheSerialAsked) {
  ASSERT_EQ(Run({"download", "--emulate", "K8", "--emulate", "K5", "--serial", "EMUK5002",
                 "--trace", "trace.txt", "--now", "2026-01-01T00:00:00", "out.Rn"}),
            0)
      << err_.str();
  EXPECT_EQ(Trace().front(), "open EMUK5002 -> 0");
  EXPECT_EQ(ReadWholeFile("out.Rn").size(), 8192u);
}

TEST_F(InstrumentCommandTest, SyncClockSendsTheGivenTime) {
  ASSERT_EQ(Run({"sync-clock", "--emulate", "K8", "--now", "2024-03-05T14:07:09", "--yes",
                 "--trace", "trace.txt"}),
            0)
      << err_.str();
  EXPECT_EQ(Trace()[4], "write A3 53 54 09 07 14 05 01 03 24 0A -> 11");
  EXPECT_NE(err_.str().find("Clock updated"), std::string::npos);

  ASSERT_EQ(Run({"sync-clock", "--emulate", "K7", "--now", "2024-03-05T14:07:09", "--yes",
                 "--trace", "trace.txt"}),
            0);
  const Lines trace = Trace();
  ASSERT_EQ(trace.size(), 4u + 7 * 4 + 1);
  EXPECT_EQ(trace[6], "write 02 09 -> 2");
  EXPECT_EQ(trace[30], "write 08 24 -> 2");
}

TEST_F(InstrumentCommandTest, ConfirmationsAreAskedWithoutYes) {
  std::istringstream answers("cancel\nok\n");
  SetAnswerStream(&answers);
  EXPECT_EQ(Run({"sync-clock", "--emulate", "K5", "--trace", "trace.txt"}), 1);
  EXPECT_NE(err_.str().find("The Kestrum clock will be syncronized with the clock in your PC! "
                            "[OK/Cancel]"),
            std::string::npos);
  EXPECT_EQ(Trace(), (Lines{"close -> 1"}));

  EXPECT_EQ(Run({"erase", "--emulate", "K7", "--trace", "trace.txt"}), 0) << err_.str();
  EXPECT_NE(err_.str().find("The measurements in the Vellgas will be erased!"), std::string::npos);
  EXPECT_NE(err_.str().find("Kestrum ERASED"), std::string::npos);
  const Lines trace = Trace();
  EXPECT_EQ(trace[trace.size() - 3], "sleep 15000");
  // No answer left: cancelled.
  EXPECT_EQ(Run({"erase", "--emulate", "K5"}), 1);
}

TEST_F(InstrumentCommandTest, SetLevelSendsTheLevelThatFits) {
  ASSERT_EQ(
      Run({"set-level", "--emulate", "K5", "--position", "200", "--yes", "--trace", "trace.txt"}),
      0)
      << err_.str();
  EXPECT_EQ(out_.str(), "level 33 pulses (200 Bq/m3), flash off\n");
  const Lines trace = Trace();
  EXPECT_EQ(trace[9], "write 00 00 00 04 02 01 -> 6");
  EXPECT_EQ(trace[13], "write 00 00 00 05 00 00 -> 6");

  ASSERT_EQ(Run({"set-level", "--emulate", "K7", "--position", "50", "--factor", "6.25", "--flash",
                 "--yes", "--trace", "trace.txt"}),
            0);
  EXPECT_EQ(Trace()[9], "write 00 04 08 -> 3");
  EXPECT_EQ(Trace()[13], "write 00 05 02 -> 3");

  EXPECT_EQ(Run({"set-level", "--emulate", "K8", "--yes", "--trace", "trace.txt"}), 2);
  EXPECT_EQ(Trace()[4], "write F3 3F -> 2");
  EXPECT_EQ(Trace().size(), 8u);  // close, two waits, open, identify, close

  EXPECT_EQ(Run({"set-level", "--emulate", "K5", "--position", "1550", "--yes"}), 2);
  EXPECT_NE(err_.str().find("highest level is 1525"), std::string::npos) << err_.str();
  EXPECT_EQ(Run({"set-level", "--emulate", "K5", "--position", "60", "--yes"}), 2);
  EXPECT_EQ(Run({"set-level", "--emulate", "K5", "--factor", "0", "--yes"}), 2);
}

}  // namespace
}  // namespace kestrum::tool
