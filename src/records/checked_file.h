// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one routine through which the program writes files. A file is never
// destroyed or left half written: the content goes to a temporary file in the
// target's folder that is renamed over the target only once it is complete.
// Every failure comes back with a text for the user.

#include <string>
#include <string_view>

#include "records/result.h"

namespace kestrum {

// Writes content as the file at path:
// - an existing target that is not a regular file (device, FIFO, folder) is
//   refused ("<path> is not a regular file"), as is a read-only one
//   ("<path> is read-only");
// - a symbolic link is followed and its target replaced in the target's folder;
// - a replaced file keeps its permission bits (and its owner where the
//   system allows); a new one gets those of an ordinary new file;
// - a folder that cannot be written is named in the message.
// Other failures give the system's reason, e.g. "No space left on device".
Result<> WriteFileReplacing(const std::string& path, std::string_view content);

// As WriteFileReplacing, but an existing file at path is never replaced,
// not even by a writer racing this one: the failure is then kFileExistsText.
// A symbolic link at path is never followed: it takes the name like a file.
inline constexpr char kFileExistsText[] = "the file exists already";
Result<> WriteNewFile(const std::string& path, std::string_view content);

// "folder/name", or just name when folder is empty.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace kestrum
