// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/kept_downloads.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "records/checked_file.h"
#include "records/date_time_stamp.h"

namespace kestrum {
namespace {

constexpr char kExtension[] = ".Rn";
// Enough for any burst of downloads within one second.
constexpr int kMostCopies = 1000;

bool IsSerialCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '+';
}

// A copy number: shorter than the six digits of the stamp's time.
bool IsCopyNumber(const std::string& text) {
  return !text.empty() && text.size() < 6 && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c));
  });
}

}  // namespace

std::string KeptDownloadsFolder(const std::string& dataFolder) {
  return PathInFolder(dataFolder, "downloads");
}

std::string FileNameSerial(const std::string& serial) {
  std::string safe = serial;
  std::replace_if(
      safe.begin(), safe.end(), [](char c) { return !IsSerialCharacter(c); }, '_');
  return safe;
}

std::string KeptDownloadFileName(const KeptDownloadName& name) {
  std::string text = std::string(ModelName(name.model)) + "-" + FileNameSerial(name.serial) + "-" +
                     DateTimeStamp(name.at);
  if (name.copy > 1) text += "-" + std::to_string(name.copy);
  return text + kExtension;
}

std::optional<KeptDownloadName> ParseKeptDownloadFileName(const std::string& fileName) {
  const std::size_t extension = sizeof kExtension - 1;
  if (fileName.size() < 2 + extension ||
      fileName.compare(fileName.size() - extension, extension, kExtension) != 0 ||
      fileName[0] != 'K' || fileName[1] < '5' || fileName[1] > '8' || fileName[2] != '-') {
    return std::nullopt;
  }
  KeptDownloadName name;
  name.model = static_cast<InstrumentModel>(fileName[1] - '5');
  // The stamp and the copy number are read from the end.
  std::string rest = fileName.substr(3, fileName.size() - 3 - extension);
  const std::size_t lastDash = rest.rfind('-');
  if (lastDash != std::string::npos && IsCopyNumber(rest.substr(lastDash + 1))) {
    const int copy = std::stoi(rest.substr(lastDash + 1));
    if (copy < 2) return std::nullopt;
    name.copy = copy;
    rest.erase(lastDash);
  }
  if (rest.size() < 16 || rest[rest.size() - 16] != '-') return std::nullopt;
  const std::optional<DateTime> at = ParseDateTimeStamp(rest.substr(rest.size() - 15));
  if (!at) return std::nullopt;
  name.at = *at;
  name.serial = rest.substr(0, rest.size() - 16);
  if (FileNameSerial(name.serial) != name.serial) return std::nullopt;
  return name;
}

std::vector<KeptDownloadFile> KeptDownloadFiles(const std::string& folder) {
  std::vector<KeptDownloadFile> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (!entry.is_regular_file(error)) continue;
    const std::optional<KeptDownloadName> name =
        ParseKeptDownloadFileName(entry.path().filename().string());
    if (name) files.push_back({entry.path().string(), *name});
  }
  std::sort(files.begin(), files.end(), [](const KeptDownloadFile& a, const KeptDownloadFile& b) {
    if (a.name.at != b.name.at) return a.name.at > b.name.at;
    if (a.name.copy != b.name.copy) return a.name.copy > b.name.copy;
    return a.path < b.path;
  });
  return files;
}

Result<KeptDownloadFile> KeepDownload(const std::string& folder, InstrumentModel model,
                                      const std::string& serial, DateTime at,
                                      std::string_view image) {
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  if (made) return Fail(made.message());
  KeptDownloadName name{model, serial, at, 1};
  for (; name.copy <= kMostCopies; ++name.copy) {
    std::string path = PathInFolder(folder, KeptDownloadFileName(name));
    const Result<> written = WriteNewFile(path, image);
    // The name as it reads back from the file.
    if (written) return KeptDownloadFile{path, {model, FileNameSerial(serial), at, name.copy}};
    if (written.error() != kFileExistsText) return written.failure();
  }
  return Fail("every name from " + KeptDownloadFileName({model, serial, at, 1}) + " to copy " +
              std::to_string(kMostCopies) + " is taken");
}

std::string KeptInstrumentName(const KeptDownloadName& name) {
  return std::string(ModelName(name.model)) + "-" + name.serial;
}

std::string DownloadNotKeptText(const std::string& folder, const std::string& error) {
  return "The download was not kept in " + folder + ": " + error;
}

}  // namespace kestrum
