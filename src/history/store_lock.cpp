// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/store_lock.h"

#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "records/guarded_read.h"

namespace kestrum {
namespace {

bool TryLock(int fd, int operation) {
  return ::flock(fd, operation | LOCK_NB) == 0;
}

}  // namespace

StoreLock::~StoreLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool StoreLock::Take(const std::string& lockPath, int waitMilliseconds) {
  const Result<int> opened = OpenRegularFileToAppend(lockPath);
  if (!opened) return false;
  fd_ = opened.value();
  if (TryLock(fd_, LOCK_EX)) {
    alone_ = true;
    return true;
  }
  // Others have it open (shared) or are opening it (exclusive): wait for
  // the opener to finish, so that a store being made is never read half made.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
  for (;;) {
    if (TryLock(fd_, LOCK_SH)) return true;
    if (TryLock(fd_, LOCK_EX)) {
      alone_ = true;
      return true;
    }
    if (std::chrono::steady_clock::now() >= until) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::close(fd_);
  fd_ = -1;
  return false;
}

void StoreLock::Share() {
  if (fd_ >= 0 && alone_) (void)::flock(fd_, LOCK_SH);
}

}  // namespace kestrum
