#include "commands/download_files.h"

#include <filesystem>

namespace kestrum {

std::string DownloadFilePath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return (std::filesystem::path(directory) / name).string();
}

std::string WordTableText(const std::uint8_t* image) {
  std::string text;
  text.reserve(256 * 8);
  for (int k = 0; k < 256; ++k) {
    const unsigned word = image[256 + 2 * k] * 256u + image[257 + 2 * k];
    text += std::to_string(word);
    text += ",\r\n";
  }
  return text;
}

}  // namespace kestrum
