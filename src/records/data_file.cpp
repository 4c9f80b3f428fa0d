// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "records/checked_file.h"
#include "records/guarded_read.h"
#include "records/whole_number_text.h"

namespace kestrum {
namespace {

std::string Hex(std::uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

}  // namespace

Result<InstrumentModel> LoadImageBytes(const std::uint8_t* data, std::size_t size,
                                       const std::string& fileName, MeasurementStore& store) {
  if (size == 0) return Fail(fileName + ": the file is empty, not a Kestrum data file.");
  const std::optional<InstrumentModel> model = ModelFromMarker(data[0]);
  if (!model) {
    return Fail(fileName + ": not a Kestrum data file (first byte " + Hex(data[0]) +
                ", expected '1' to '4').");
  }
  const auto length = static_cast<std::size_t>(ImageLengthOf(*model));
  if (size < length) {
    return Fail(fileName + ": the file is too short for a " + ModelName(*model) + " image (" +
                ByteCountText(size) + ", " + std::to_string(length) + " needed).");
  }
  std::copy(data, data + length, store.MemoryImage.begin());
  return *model;
}

Result<std::vector<std::uint8_t>> ReadDataFileBytes(const std::string& path) {
  // One byte past the longest image tells a longer file apart.
  const Result<GuardedRead> read = ReadRegularFile(path, kMemoryImageBytes + 1);
  if (!read) return read.failure();
  if (read->missing) return Fail(path + ": " + std::strerror(ENOENT));
  return std::vector<std::uint8_t>(read->bytes.begin(), read->bytes.end());
}

Result<InstrumentModel> ReadDataFile(const std::string& path, MeasurementStore& store) {
  const Result<std::vector<std::uint8_t>> file = ReadDataFileBytes(path);
  if (!file) return file.failure();
  // Longer files count by their first bytes.
  return LoadImageBytes(file->data(), file->size(), path, store);
}

std::string DataFileContent(const MeasurementStore& store) {
  const std::optional<InstrumentModel> model = ModelFromMarker(store.MemoryImage[0]);
  if (!model) return {};
  return std::string(reinterpret_cast<const char*>(store.MemoryImage.data()),
                     static_cast<std::size_t>(ImageLengthOf(*model)));
}

Result<> SaveDataFile(const std::string& path, const MeasurementStore& store) {
  return WriteFileReplacing(path, DataFileContent(store));
}

}  // namespace kestrum
