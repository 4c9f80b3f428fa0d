// SPDX-License-Identifier: GPL-3.0-or-later
// File names that are not UTF-8: each command opens and writes the name it
// was given, never the name's Qt text, where U+FFFD stands for the odd byte.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

using testing::ReadWholeFile;

// 0xFE never occurs in UTF-8; through Qt text it becomes U+FFFD, whose UTF-8
// is EF BF BD.
std::string Mangled(std::string name) {
  for (std::size_t at = name.find('\xfe'); at != std::string::npos; at = name.find('\xfe', at)) {
    name.replace(at, 1, "\xef\xbf\xbd");
  }
  return name;
}

using FileNamesTest = testing::ToolFixture;

TEST_F(FileNamesTest, CommandsOpenAndWriteTheNamesGiven) {
  const std::string odd = "odd\xfe";  // a current folder whose name is not UTF-8
  ASSERT_EQ(::mkdir(odd.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(Mangled(odd).c_str(), 0755), 0);  // where a mangled name would lead
  const std::string now = "--now=2030-01-01T00:00:00";
  const struct {
    const char* what;
    std::string folder;  // the current folder, relative to the test's; empty: the test's
    std::vector<std::string> args;
    int exitCode;
    std::vector<std::string> written;  // relative to the test's folder
    std::string says;                  // on standard output or error
  } cases[] = {
      {"generate",
       "",
       {"generate", "--model", "K7", "--runs", "2", "--hours", "30", "in\xfe.Rn"},
       0,
       {"in\xfe.Rn"},
       ""},
      {"export", "", {"export", now, "in\xfe.Rn", "out\xfe.txt"}, 0, {"out\xfe.txt"}, ""},
      {"decode in the odd folder",
       odd,
       {"decode", now, "../in\xfe.Rn"},
       0,
       {odd + "/k5dat.tmp"},
       ""},
      {"download of an odd file to an odd name",
       "",
       {"download", "--emulate", "K7:in\xfe.Rn", now, "--no-keep", "dl\xfe.Rn"},
       0,
       {"dl\xfe.Rn"},
       ""},
      {"download in the odd folder",
       odd,
       {"download", "--emulate", "K7", now, "dl.Rn"},
       0,
       {odd + "/dl.Rn", odd + "/k5dat.tmp"},
       ""},
      {"history import",
       "",
       {"history", "import", "--instrument", "K7-ODD", "in\xfe.Rn"},
       0,
       {},
       "in\xfe.Rn"},
      {"history export",
       "",
       {"history", "export", "--instrument", "K7-ODD", "runs\xfe.csv"},
       0,
       {"runs\xfe.csv"},
       ""},
      {"a wrong word is quoted as given",
       "",
       {"export", "--bogus\xfe", "a", "b"},
       2,
       {},
       "bogus\xfe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // The file a mangled name would replace holds something that must stay.
    for (const std::string& name : c.written) std::ofstream(Mangled(name)) << "untouched";
    if (!c.folder.empty()) {
      ASSERT_EQ(::chdir(c.folder.c_str()), 0);
    }
    const int exitCode = Run(c.args);
    ASSERT_EQ(::chdir(folder_.c_str()), 0);
    EXPECT_EQ(exitCode, c.exitCode) << err_.str();
    EXPECT_NE((out_.str() + err_.str()).find(c.says), std::string::npos) << err_.str();
    for (const std::string& name : c.written) {
      EXPECT_NE(ReadWholeFile(name), "") << name;
      if (Mangled(name) != name) {
        EXPECT_EQ(ReadWholeFile(Mangled(name)), "untouched") << name;
      }
    }
  }
}

}  // namespace
}  // namespace kestrum::tool
