#pragma once
// Checked file writes. Every failure comes back as the system's error text
// (empty text: success); nothing is silently lost.

#include <string>
#include <string_view>

namespace kestrum {

// Creates or truncates path and writes content; for the scratch files of a decode.
std::string WriteFileChecked(const std::string& path, std::string_view content);

// Writes content to a temporary file in the folder of path and renames it over
// path, so a failed write never destroys an existing file. A new file gets
// the permissions of an ordinary new file, a replaced one keeps its own.
std::string WriteFileReplacing(const std::string& path, std::string_view content);

// "folder/name", or just name when folder is empty.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace kestrum
