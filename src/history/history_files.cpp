// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "records/data_file.h"
#include "records/fnv1a.h"
#include "records/kept_downloads.h"
#include "records/open_data_file.h"

namespace kestrum {
namespace {

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// A file's own name without ".Rn": the instrument of a file from elsewhere.
std::string NameWithoutExtension(const std::string& path) {
  std::string name = FileNameOf(path);
  if (name.size() > 3 && name[name.size() - 3] == '.' && (name[name.size() - 2] | 0x20) == 'r' &&
      (name[name.size() - 1] | 0x20) == 'n') {
    name.resize(name.size() - 3);
  }
  return name;
}

FileImport ImportOne(HistoryStore& store, const std::string& path, const std::string& instrument,
                     DateTime takenAt, bool kept, DateTime now, MeasurementStore& scratch) {
  FileImport result{path};
  ImportSource source{instrument, path, {}, takenAt, kept};
  const Result<std::vector<std::uint8_t>> bytes = ReadDataFileBytes(path);
  if (!bytes) {
    result.counts = bytes.failure();
    return result;
  }
  source.contentHash =
      ContentHash(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  // Known bytes need no decode: the import only notes the name.
  const Result<bool> known = store.KnowsContent(source.contentHash);
  if (!known) {
    result.counts = known.failure();
    return result;
  }
  if (known.value()) {
    result.counts = store.Import(source, DecodedFile{});
    return result;
  }
  const Result<DecodedFile> decoded =
      DecodeEveryRun(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                     FileNameOf(path), now, scratch);
  if (!decoded) {
    result.counts = decoded.failure();
    return result;
  }
  // A kept name says which instrument the runs are filed under: bytes of
  // another model would mix two instruments' runs.
  const std::optional<KeptDownloadName> name = ParseKeptDownloadFileName(FileNameOf(path));
  if (name && name->model != decoded->model) {
    result.counts =
        Fail(std::string("the name says ") + ModelName(name->model) +
             " but the file holds the memory of a " + ModelName(decoded->model) + "; not imported");
    return result;
  }
  result.counts = store.Import(source, decoded.value());
  return result;
}

}  // namespace

std::string ContentHash(std::string_view bytes) {
  const std::uint64_t hash =
      Fnv1a(kFnv1aStart, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string InstrumentOfKeptFile(const std::string& path) {
  const std::optional<KeptDownloadName> name = ParseKeptDownloadFileName(FileNameOf(path));
  if (!name) return {};
  return KeptInstrumentName(*name);
}

std::vector<FileImport> ImportKeptDownloads(HistoryStore& store, const std::string& keptFolder,
                                            DateTime now) {
  std::vector<FileImport> imports;
  std::vector<KeptDownloadFile> files = KeptDownloadFiles(keptFolder);
  // Oldest first, as the downloads happened: runs grow instead of shrinking.
  std::reverse(files.begin(), files.end());
  std::unique_ptr<MeasurementStore> scratch;
  for (const KeptDownloadFile& file : files) {
    const Result<bool> known = store.KnowsPath(file.path);
    if (!known) {
      imports.push_back({file.path, known.failure()});
      continue;
    }
    if (known.value()) continue;
    if (!scratch) scratch = std::make_unique<MeasurementStore>();
    imports.push_back(ImportOne(store, file.path, InstrumentOfKeptFile(file.path), file.name.at,
                                true, now, *scratch));
  }
  return imports;
}

std::string InstrumentNameForFile(const std::string& path, const std::string& given) {
  // A kept download names its instrument itself.
  std::string name = InstrumentOfKeptFile(path);
  if (name.empty()) name = given.empty() ? NameWithoutExtension(path) : given;
  return name;
}

std::vector<FileImport> ImportDataFiles(HistoryStore& store, const std::vector<std::string>& paths,
                                        const std::string& instrument, DateTime now) {
  std::vector<FileImport> imports;
  auto scratch = std::make_unique<MeasurementStore>();
  for (const std::string& given : paths) {
    // Kept as an absolute path: a rebuild reads the file again from wherever it runs.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(given, error);
    const std::string path = error ? given : absolute.lexically_normal().string();
    FileImport import =
        ImportOne(store, path, InstrumentNameForFile(path, instrument), now, false, now, *scratch);
    import.path = given;
    imports.push_back(std::move(import));
  }
  return imports;
}

std::string ImportLine(const FileImport& import) {
  const std::string name = FileNameOf(import.path);
  if (!import.counts) return name + ": skipped: " + import.counts.error();
  const ImportCounts& c = import.counts.value();
  if (c.alreadyKnown) return name + ": already in the history";
  std::string line = name + ": " + std::to_string(c.newRuns) + " new runs, " +
                     std::to_string(c.grownRuns) + " grown, " + std::to_string(c.sameRuns) +
                     " unchanged";
  if (c.conflictRuns > 0) line += ", " + std::to_string(c.conflictRuns) + " in conflict";
  return line + ", " + std::to_string(c.newSamples) + " new samples";
}

}  // namespace kestrum
