#include "records/erase_record.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "records/checked_file.h"
#include "records/date_time_stamp.h"
#include "records/kept_downloads.h"

namespace kestrum {
namespace {

std::string RecordPath(const std::string& dataFolder) {
  return PathInFolder(dataFolder, "erased");
}

// Serial (as in file names) to the stamp of its last erase; lines that do
// not read are left out.
std::map<std::string, std::string> ReadRecord(const std::string& dataFolder) {
  std::map<std::string, std::string> erases;
  std::ifstream in(RecordPath(dataFolder));
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

std::optional<DateTime> LastErase(const std::string& dataFolder, const std::string& serial) {
  const auto erases = ReadRecord(dataFolder);
  const auto found = erases.find(FileNameSerial(serial));
  if (found == erases.end()) return std::nullopt;
  return ParseDateTimeStamp(found->second);
}

Result<> RecordErase(const std::string& dataFolder, const std::string& serial, DateTime at) {
  std::error_code made;
  std::filesystem::create_directories(dataFolder, made);
  if (made) return Fail(made.message());
  auto erases = ReadRecord(dataFolder);
  erases[FileNameSerial(serial)] = DateTimeStamp(at);
  std::string text;
  for (const auto& [name, stamp] : erases) text += name + " " + stamp + "\n";
  return WriteFileReplacing(RecordPath(dataFolder), text);
}

}  // namespace kestrum
