// SPDX-License-Identifier: GPL-3.0-or-later
// The kestrum-tool program itself: it loads no drawing library, and hands
// "report" (and "assess --report") to the program that does with the words,
// output and exit code intact.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

using testing::ReadWholeFile;
using testing::SamplePath;

std::string Quoted(const std::string& word) {
  return "'" + word + "'";
}

std::string CommandOutput(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      text.append(buffer, n);
    ::pclose(pipe);
  }
  return text;
}

class ToolBinaryTest : public testing::ToolFixture {};

TEST_F(ToolBinaryTest, NamesNoDrawingLibrary) {
  if (std::system("command -v ldd >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ldd";
  const std::string libraries = CommandOutput("ldd " + Quoted(KESTRUM_TOOL_BINARY) + " 2>&1");
  // Qt Core is always there; without it the list is not one ldd made.
  ASSERT_NE(libraries.find("libQt6Core"), std::string::npos) << libraries;
  for (const char* drawing : {"libQt6Widgets", "libQt6Gui", "libQt6PrintSupport", "libQt6Svg",
                              "libQCustomPlot", "libqcustomplot"}) {
    EXPECT_EQ(libraries.find(drawing), std::string::npos) << drawing << " in\n" << libraries;
  }
}

TEST_F(ToolBinaryTest, ReportRunsWithTheSameWordsAndEnds) {
  const std::string sample = SamplePath("k5-sample.Rn");
  // A name no shell word or text conversion would keep as it is.
  const std::string pdf = folder_ + "/a b\xff.pdf";
  const struct {
    std::vector<std::string> words;
    int exitCode;
    const char* stdoutStarts;
    const char* stderrStarts;
    bool writes;
    const char* command = "report";
  } runs[] = {
      {{"--help"}, 0, "Usage: kestrum-tool report", "", false},
      {{sample, "--run", "0", pdf}, 0, "", "", true},
      {{sample, "--run", "0", "--from", "1990-01-01 00:00", "--to", "1990-01-02 00:00", pdf},
       1,
       "",
       "kestrum-tool report: no sample of run 0",
       false},
      {{sample}, 2, "", "kestrum-tool report: expects a data file and the report file", false},
      {{sample, "--run", "0", "-"}, 2, "", "kestrum-tool report: the report goes to a file", false},
      {{sample, "--run", "0", "--levels", "1e308", pdf},
       2,
       "",
       "kestrum-tool report: --levels wants positive numbers up to 100000",
       false},
      // The assessment that draws its report runs in that program too.
      {{sample, "--run", "0", "--report", pdf}, 0, "protocol=period\n", "", true, "assess"},
      {{sample, "--run", "0", "--report", pdf, "--paper", "a5"},
       2,
       "",
       "kestrum-tool assess: --paper wants a4 or letter",
       false,
       "assess"},
  };
  for (const auto& run : runs) {
    std::remove(pdf.c_str());
    std::string command = Quoted(KESTRUM_TOOL_BINARY) + " " + run.command;
    for (const std::string& word : run.words) command += " " + Quoted(word);
    command += " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << command;
    EXPECT_EQ(WEXITSTATUS(status), run.exitCode) << command << "\n" << ReadWholeFile("err.txt");
    EXPECT_EQ(ReadWholeFile("out.txt").rfind(run.stdoutStarts, 0), 0u) << command;
    const std::string err = ReadWholeFile("err.txt");
    if (*run.stderrStarts) {
      EXPECT_EQ(err.rfind(run.stderrStarts, 0), 0u) << command << "\n" << err;
    }
    EXPECT_EQ(ReadWholeFile(pdf).rfind("%PDF-", 0) == 0, run.writes) << command << "\n" << err;
  }
}

}  // namespace
}  // namespace kestrum::tool
