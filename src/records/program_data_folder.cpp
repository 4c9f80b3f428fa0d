// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/program_data_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kestrum {
namespace {

std::string& FolderOverride() {
  static std::string folder;
  return folder;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// $HOME, or the account's home when HOME is unset or empty.
std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir) {
      home = account->pw_dir;
    }
  }
  return home.empty() ? "/" : home;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string ProgramDataFolder() {
  if (!FolderOverride().empty()) return FolderOverride();
  // Built from the environment's bytes, never through Qt text: a folder name
  // that is not UTF-8 would otherwise become another, newly created folder.
  std::string base = Environment("XDG_DATA_HOME");
  if (base.empty() || base.front() != '/') {
    base = WithoutTrailingSlashes(HomeFolder());
    base += base == "/" ? ".local/share" : "/.local/share";
  }
  base = WithoutTrailingSlashes(base);
  return base == "/" ? "/kestrum" : base + "/kestrum";
}

void SetProgramDataFolder(const std::string& folder) {
  FolderOverride() = folder;
}

}  // namespace kestrum
