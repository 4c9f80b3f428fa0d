#include "records/data_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "records/checked_file.h"

namespace kestrum {
namespace {

std::string Hex(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

}  // namespace

ImageLoadResult LoadImageBytes(const std::uint8_t* data, std::size_t size,
                               const std::string& fileName, MeasurementStore& store) {
  ImageLoadResult result;
  if (size == 0) {
    result.error = fileName + ": the file is empty, not a Kestrum data file.";
    return result;
  }
  const std::optional<InstrumentModel> model = ModelFromMarker(data[0]);
  if (!model) {
    result.error = fileName + ": not a Kestrum data file (first byte " + Hex(data[0]) +
                   ", expected '1' to '4').";
    return result;
  }
  const auto length = static_cast<std::size_t>(ImageLengthOf(*model));
  if (size < length) {
    result.error = fileName + ": the file is too short for a " + ModelName(*model) + " image (" +
                   std::to_string(size) + " bytes, " + std::to_string(length) + " needed).";
    return result;
  }
  std::copy(data, data + length, store.MemoryImage.begin());
  result.model = model;
  return result;
}

ImageLoadResult ReadDataFile(const std::string& path, MeasurementStore& store) {
  ImageLoadResult result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.error = path + ": " + std::strerror(errno);
    return result;
  }
  // Never more than the longest image: longer files count by their first bytes.
  std::vector<std::uint8_t> buffer(kMemoryImageBytes);
  std::size_t filled = 0;
  int error = 0;
  while (filled < buffer.size()) {
    const ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (error != 0) {
    result.error = path + ": " + std::strerror(error);
    return result;
  }
  return LoadImageBytes(buffer.data(), filled, path, store);
}

std::string DataFileContent(const MeasurementStore& store) {
  const std::optional<InstrumentModel> model = ModelFromMarker(store.MemoryImage[0]);
  if (!model) return {};
  return std::string(reinterpret_cast<const char*>(store.MemoryImage.data()),
                     static_cast<std::size_t>(ImageLengthOf(*model)));
}

std::string SaveDataFile(const std::string& path, const MeasurementStore& store) {
  return WriteFileReplacing(path, DataFileContent(store));
}

}  // namespace kestrum
