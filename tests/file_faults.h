// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File-system faults for the tests: a disk that fills up, a user without
// root's rights, and the cases that only root can set up.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace kestrum::testing {

// While it lives, no file grows past `bytes`: a write beyond fails with
// "File too large", as a write to a full disk fails with "No space left".
class FullDisk {
 public:
  explicit FullDisk(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FullDisk() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldSignal_);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  rlimit old_{};
  void (*oldSignal_)(int) = SIG_DFL;
};

// Sixteen pages of the database at `path` overwritten `from` of the way in
// (two thirds unless told), after its log was written back: the damage a failing disk does under an
// open store, met by the next read that reaches them.
inline void SpoilStorePages(const std::string& path, double from = 2.0 / 3) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(
      static_cast<std::streamoff>(static_cast<double>(std::filesystem::file_size(path)) * from));
  file << std::string(16 * 4096, '\x5a');
}

inline bool RunningAsRoot() {
  return ::geteuid() == 0;
}

// Runs `work` as the unprivileged user "nobody" (in a child process when we
// are root, so that permissions apply) and returns its text.
inline std::string AsPlainUser(const std::function<std::string()>& work) {
  if (!RunningAsRoot()) return work();
  int pipe[2];
  if (::pipe(pipe) != 0) return "pipe failed";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    std::string text = "could not drop root";
    if (::setgid(65534) == 0 && ::setuid(65534) == 0) text = work();
    const ssize_t written = ::write(pipe[1], text.data(), text.size());
    ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  ::close(pipe[1]);
  std::string text;
  char buffer[512];
  for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  ::close(pipe[0]);
  ::waitpid(child, nullptr, 0);
  return text;
}

}  // namespace kestrum::testing

// For the cases only root can set up (device nodes, foreign owners).
#define KESTRUM_SKIP_UNLESS_ROOT()                                                    \
  do {                                                                                \
    if (!::kestrum::testing::RunningAsRoot()) GTEST_SKIP() << "needs root to set up"; \
  } while (false)
