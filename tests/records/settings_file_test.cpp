// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file is kept only where keeping it harms nothing; anything
// else at its name is left exactly as it was, and the settings still work
// for the run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QSettings>
#include <filesystem>
#include <fstream>
#include <functional>

#include "records/settings_file.h"

namespace kestrum {
namespace {

namespace fs = std::filesystem;

std::string Content(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SettingsFile, WhatCannotBeKeptIsLeftAloneAndTheSettingsLastTheRun) {
  char name[] = "/tmp/kestrum-settings-test-XXXXXX";
  ASSERT_NE(::mkdtemp(name), nullptr);
  const std::string folder = name;
  struct Case {
    const char* name;
    std::function<bool(const std::string&)> make;  // false: cannot be made here
    bool remembered;
    std::function<void(const std::string&)> unchanged;
  };
  const std::string target = folder + "/target.ini";
  std::ofstream(target) << "[a]\nb=1\n";
  const std::vector<Case> cases = {
      {"no file yet", [](const std::string&) { return true; }, true,
       [](const std::string& p) { EXPECT_TRUE(fs::is_regular_file(p)); }},
      {"a link to a regular file",
       [&](const std::string& p) { return ::symlink(target.c_str(), p.c_str()) == 0; }, true,
       [&](const std::string& p) {
         EXPECT_TRUE(fs::is_symlink(p));
         EXPECT_NE(Content(target).find("k=7"), std::string::npos);
       }},
      {"a FIFO", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }, false,
       [](const std::string& p) { EXPECT_TRUE(fs::is_fifo(p)); }},
      {"a folder", [](const std::string& p) { return fs::create_directory(p); }, false,
       [](const std::string& p) { EXPECT_TRUE(fs::is_empty(p)); }},
      {"a link to nothing",
       [&](const std::string& p) { return ::symlink((folder + "/none").c_str(), p.c_str()) == 0; },
       false, [&](const std::string&) { EXPECT_FALSE(fs::exists(folder + "/none")); }},
      {"a read-only file",
       [](const std::string& p) {
         std::ofstream(p) << "[a]\nb=1\n";
         return ::chmod(p.c_str(), 0444) == 0;
       },
       false,
       [](const std::string& p) {
         EXPECT_EQ(Content(p), "[a]\nb=1\n");
         EXPECT_EQ(fs::status(p).permissions() & fs::perms::all, fs::perms(0444));
       }},
      {"a link to a device node (root)",
       [&](const std::string& p) {
         const std::string device = folder + "/null-device";
         return ::geteuid() == 0 && ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
                ::symlink(device.c_str(), p.c_str()) == 0;
       },
       false,
       [&](const std::string& p) {
         EXPECT_TRUE(fs::is_symlink(p));
         EXPECT_TRUE(fs::is_character_file(folder + "/null-device"));
       }},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    const std::string path = folder + "/kestrum-" + std::to_string(i) + ".ini";
    if (!c.make(path)) {
      std::cout << "[ SKIPPED  ] " << c.name << ": cannot be made here (needs root)\n";
      continue;
    }
    {
      SettingsFile file = OpenSettingsFile(path);
      EXPECT_EQ(!file.problem, c.remembered) << file.problem.value_or("");
      file.settings->setValue("k", 7);
      file.settings->sync();
    }
    // Within the run the value reads back either way.
    EXPECT_EQ(OpenSettingsFile(path).settings->value("k").toInt(), 7);
    c.unchanged(path);
  }
  // What a read-only file held is what the run starts from.
  EXPECT_EQ(OpenSettingsFile(folder + "/kestrum-5.ini").settings->value("a/b").toInt(), 1);
  ::chmod((folder + "/kestrum-5.ini").c_str(), 0644);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kestrum
