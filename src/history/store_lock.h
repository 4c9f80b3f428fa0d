// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who else has the history open. Every program that opens the store holds a
// shared lock on a file of its own beside it ("history.sqlite.lock") for as
// long as it is open; opening takes the lock exclusively first. Holding it
// exclusively means no other program has the store open, so journal files
// found then were left by no one alive (a crash, a copy, a restore) and are
// checked before they are trusted; it also makes the first creation of the
// store one step for every program that races to it.

#include <string>

namespace kestrum {

class StoreLock {
 public:
  StoreLock() = default;
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  // Takes the lock on `lockPath` exclusively when no other program holds it,
  // else shared once no other program is opening (waiting at most
  // `waitMilliseconds`). False when no lock could be had (a read-only
  // folder, or still taken after the wait): the store is then opened
  // without one.
  bool Take(const std::string& lockPath, int waitMilliseconds);
  // Whether Take had it exclusively: no other program has the store open.
  bool Alone() const { return alone_; }
  // From exclusive to shared, once the store is open.
  void Share();

 private:
  int fd_ = -1;
  bool alone_ = false;
};

}  // namespace kestrum
