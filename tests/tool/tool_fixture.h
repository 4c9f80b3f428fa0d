// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs kestrum-tool commands in-process, each test in a fresh current
// directory where the commands leave their files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "records/program_data_folder.h"
#include "tool/tool_command.h"

namespace kestrum::tool::testing {

inline std::string SamplePath(const std::string& name) {
  const char* root = std::getenv("KESTRUM_SOURCE_DIR");
  return std::string(root ? root : "../..") + "/samples/" + name;
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The text of a PDF as pdftotext reads it, every run of white space one
// space, so that a text wrapped over two lines reads as one.
inline std::string PdfText(const std::string& path) {
  const std::string command = "pdftotext '" + path + "' - 2>/dev/null";
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      for (std::size_t i = 0; i < n; ++i) {
        const bool space = buffer[i] == ' ' || buffer[i] == '\n' || buffer[i] == '\f';
        if (!space || (!text.empty() && text.back() != ' ')) text += space ? ' ' : buffer[i];
      }
    }
    ::pclose(pipe);
  }
  return text;
}

class ToolFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/kestrum-tool-test-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    folder_ = name;
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    previous_ = previous;
    ASSERT_EQ(::chdir(folder_.c_str()), 0);
    // Beside the current directory, whose contents some tests compare.
    SetProgramDataFolder(folder_ + ".data");
  }
  void TearDown() override {
    SetProgramDataFolder("");
    ASSERT_EQ(::chdir(previous_.c_str()), 0);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    std::filesystem::remove_all(folder_ + ".data", ignored);
  }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    ToolIo io{out_, err_};
    return RunTool(args, io);
  }

  std::string folder_, previous_;
  std::ostringstream out_, err_;
};

}  // namespace kestrum::tool::testing
