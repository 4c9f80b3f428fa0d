// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line the erase question adds about the instrument's memory: whether a
// complete download of this instrument (same converter serial) was kept
// since this program last erased it. Decided from the kept downloads and
// the erase record, so it holds across runs of kestrum and kestrum-tool.

#include <string>

namespace kestrum {

struct EraseNotice {
  std::string line;
  bool downloadKept = false;  // false: erasing loses measurements; Cancel is the default
  // Why the erase record could not be read (then it counts as empty), or empty.
  std::string recordProblem;
};

EraseNotice EraseNoticeFor(const std::string& dataFolder, const std::string& serial);

}  // namespace kestrum
