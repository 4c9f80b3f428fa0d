// SPDX-License-Identifier: GPL-3.0-or-later
// The program's data folder is where the environment says, byte for byte,
// also when HOME or XDG_DATA_HOME is not UTF-8.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "records/program_data_folder.h"

namespace kestrum {
namespace {

std::optional<std::string> Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void SetVariable(const char* name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

TEST(ProgramDataFolderTest, BuiltFromTheEnvironmentsBytes) {
  // The XDG base directories: XDG_DATA_HOME when absolute, else ~/.local/share.
  const struct {
    std::optional<std::string> dataHome, home;
    std::string folder;
  } cases[] = {
      {"/tmp/d\xfe/share", "/home/u", "/tmp/d\xfe/share/kestrum"},
      {"/tmp/d\xfe/share/", "/home/u", "/tmp/d\xfe/share/kestrum"},
      {std::nullopt, "/home/\xfe\xff", "/home/\xfe\xff/.local/share/kestrum"},
      {"", "/home/\xe9t\xe9", "/home/\xe9t\xe9/.local/share/kestrum"},
      {"share\xfe", "/home/\xfe", "/home/\xfe/.local/share/kestrum"},
      {std::nullopt, "/home/caf\xc3\xa9/", "/home/caf\xc3\xa9/.local/share/kestrum"},
  };
  const std::optional<std::string> dataHome = Variable("XDG_DATA_HOME"), home = Variable("HOME");
  SetProgramDataFolder("");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    SetVariable("XDG_DATA_HOME", c.dataHome);
    SetVariable("HOME", c.home);
    EXPECT_EQ(ProgramDataFolder(), c.folder);
  }
  SetVariable("XDG_DATA_HOME", dataHome);
  SetVariable("HOME", home);
}

}  // namespace
}  // namespace kestrum
