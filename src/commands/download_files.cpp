// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/download_files.h"

#include <filesystem>

#include "records/big_endian.h"

namespace kestrum {

std::string DownloadFilePath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return (std::filesystem::path(directory) / name).string();
}

std::string WordTableText(const std::uint8_t* image) {
  std::string text;
  text.reserve(256 * 8);
  for (int k = 0; k < 256; ++k) {
    const unsigned word = BigEndian16(image, 256 + 2 * static_cast<std::size_t>(k));
    text += std::to_string(word);
    text += ",\r\n";
  }
  return text;
}

}  // namespace kestrum
