// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the program reads a file it did not just make: opened without
// blocking (a FIFO without a writer cannot hang it), regular files only (a
// device, a folder or a FIFO is refused before anything is read), and never
// more than a limit (a link to /dev/zero cannot fill memory).

#include <cstddef>
#include <string>

#include "records/result.h"

namespace kestrum {

struct GuardedRead {
  std::string bytes;       // at most the limit
  bool truncated = false;  // the file holds more than the limit
  bool missing = false;    // there is no file at the path (bytes empty)
};

// Failures name the path: "<path> is not a regular file", "<path>: <reason>".
Result<GuardedRead> ReadRegularFile(const std::string& path, std::size_t limit);

// The same guard for a file that is appended to line by line (the protocol
// log), which the replacing write cannot serve: made when missing, opened
// without blocking and kept only when it is a regular file. Gives the open
// descriptor, which the caller closes.
Result<int> OpenRegularFileToAppend(const std::string& path);

}  // namespace kestrum
