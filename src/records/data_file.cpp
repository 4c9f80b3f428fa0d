#include "records/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "records/checked_file.h"
#include "records/whole_number_text.h"

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
                   ByteCountText(size) + ", " + std::to_string(length) + " needed).";
    return result;
  }
  std::copy(data, data + length, store.MemoryImage.begin());
  result.model = model;
  return result;
}

FileBytes ReadDataFileBytes(const std::string& path) {
  FileBytes result;
  // Non-blocking, so that a FIFO without a writer does not hang the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    result.error = path + ": " + std::strerror(errno);
    return result;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    result.error = path + " is not a regular file";
    return result;
  }
  result.bytes.resize(kMemoryImageBytes + 1);
  std::size_t filled = 0;
  int error = 0;
  while (filled < result.bytes.size()) {
    const ssize_t got = ::read(fd, result.bytes.data() + filled, result.bytes.size() - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  result.bytes.resize(filled);
  if (error != 0) {
    result.bytes.clear();
    result.error = path + ": " + std::strerror(error);
  }
  return result;
}

ImageLoadResult ReadDataFile(const std::string& path, MeasurementStore& store) {
  const FileBytes file = ReadDataFileBytes(path);
  if (!file.error.empty()) {
    ImageLoadResult result;
    result.error = file.error;
    return result;
  }
  // Longer files count by their first bytes.
  return LoadImageBytes(file.bytes.data(), file.bytes.size(), path, store);
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
