#include "commands/download_files.h"

#include <filesystem>
#include <fstream>

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

void WriteBinaryCopy(const std::string& path, const std::uint8_t* bytes, std::size_t count) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
}

}  // namespace kestrum
