// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/erase_record.h"

#include <filesystem>
#include <map>
#include <sstream>
#include <system_error>

#include "records/checked_file.h"
#include "records/date_time_stamp.h"
#include "records/guarded_read.h"
#include "records/kept_downloads.h"

namespace kestrum {
namespace {

std::string RecordPath(const std::string& dataFolder) {
  return PathInFolder(dataFolder, "erased");
}

// A record holds a line per instrument; far more than any user has.
constexpr std::size_t kLongestRecord = 1 << 20;

using EraseStamps = std::map<std::string, std::string>;

// Serial (as in file names) to the stamp of its last erase; lines that do
// not read are left out.
Result<EraseStamps> ReadRecord(const std::string& dataFolder) {
  const std::string path = RecordPath(dataFolder);
  const Result<GuardedRead> read = ReadRegularFile(path, kLongestRecord);
  if (!read) return Fail("the erase record " + read.error());
  if (read->truncated) return Fail("the erase record " + path + " is too long to be one");
  EraseStamps erases;
  std::istringstream in(read->bytes);
  for (std::string line; std::getline(in, line);) {
    // The serial may be empty; the stamp is the last word.
    const std::size_t space = line.rfind(' ');
    if (space == std::string::npos) continue;
    const std::string stamp = line.substr(space + 1);
    if (ParseDateTimeStamp(stamp)) erases[line.substr(0, space)] = stamp;
  }
  return erases;
}

}  // namespace

Result<std::optional<DateTime>> LastErase(const std::string& dataFolder,
                                          const std::string& serial) {
  const Result<EraseStamps> erases = ReadRecord(dataFolder);
  if (!erases) return erases.failure();
  const auto found = erases->find(FileNameSerial(serial));
  if (found == erases->end()) return std::optional<DateTime>();
  return ParseDateTimeStamp(found->second);
}

Result<> RecordErase(const std::string& dataFolder, const std::string& serial, DateTime at) {
  std::error_code made;
  std::filesystem::create_directories(dataFolder, made);
  if (made) return Fail(made.message());
  // What cannot be read is not kept; a FIFO or device is refused by the write.
  const Result<EraseStamps> read = ReadRecord(dataFolder);
  EraseStamps erases = read ? read.value() : EraseStamps{};
  erases[FileNameSerial(serial)] = DateTimeStamp(at);
  std::string text;
  for (const auto& [name, stamp] : erases) text += name + " " + stamp + "\n";
  return WriteFileReplacing(RecordPath(dataFolder), text);
}

}  // namespace kestrum
