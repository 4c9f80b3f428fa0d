// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes through the path of opening a data file and decoding it,
// then through the texts written from the decoded samples. Inputs whose
// first byte is a model marker are decoded a second time padded with erased
// bytes to their model's length, so that short inputs reach every decoder.
// At start the open routine meets what no input can be: a FIFO, a folder and
// an over-long file; so do the erase record and the settings file. Every
// input is also read as an erase record and as a settings file.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "records/date_time.h"
#include "records/decode_files.h"
#include "records/erase_record.h"
#include "records/image_decoder.h"
#include "records/open_data_file.h"
#include "records/settings_file.h"
#include "records/text_export.h"

namespace {

using namespace kestrum;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// What every decode must leave behind, whatever the image held.
void CheckDecoded(const MeasurementStore& store, const DecodeResult& result) {
  Check(store.RunCount >= 0 && store.RunCount <= 27);
  Check(store.LastSampleIndex >= -1 && store.LastSampleIndex < kSampleCapacity);
  Check(result.itemTexts.size() == static_cast<std::size_t>(store.RunCount));
  Check(result.foundRuns == (store.RunCount > 0));
  std::int32_t next = 0;
  for (std::int32_t i = 0; i < store.RunCount; ++i) {
    const RunEntry& run = store.Runs[i];
    Check(run.FirstSample == next);
    Check(run.LastSample >= run.FirstSample - 1);
    next = run.LastSample + 1;
    if (i > 0) Check(store.Runs[i - 1].StartTime <= run.StartTime);
  }
  Check(next == store.LastSampleIndex + 1);
}

void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  Check(fd >= 0);
  for (std::size_t done = 0; done < size;) {
    const ssize_t written = ::write(fd, data + done, size - done);
    Check(written > 0);
    done += static_cast<std::size_t>(written);
  }
  ::close(fd);
}

DecodeContext FuzzContext() {
  DecodeContext context;
  context.now = EncodeDate(2030, 6, 15) + EncodeTime(12, 0, 0, 0);
  context.writeFiles = false;
  return context;
}

void DecodeAndWrite(const std::uint8_t* data, std::size_t size, MeasurementStore& store) {
  const DecodeContext context = FuzzContext();
  store.diagnosticText = "Memo1";  // one decode per input; the text would grow without end
  const Result<OpenedFile> result = OpenImageBytes(data, size, "fuzz.Rn", store, context);
  if (!result) {
    Check(!result.error().empty());
    return;
  }
  CheckDecoded(store, result->decode);
  // Every sample goes through the same formatting; long lists only slow the search.
  if (store.LastSampleIndex >= 2000) return;
  volatile std::size_t sink = 0;
  sink = sink + K5datText(store, context.separators).size();
  sink = sink + TextExportContent(store, context.separators).size();
  sink = sink + DebugText(store).size();
}

// What no fuzz input can be: special files are refused at once, an over-long
// file counts by its first bytes.
void OpenSpecialFiles(const std::string& scratch, MeasurementStore& store) {
  const std::string fifo = scratch + "/fifo.Rn";
  const std::string folder = scratch + "/folder.Rn";
  Check(::mkfifo(fifo.c_str(), 0644) == 0);
  Check(::mkdir(folder.c_str(), 0755) == 0);
  for (const std::string& path : {fifo, folder}) {
    Check(OpenDataFile(path, store, FuzzContext()).error() == path + " is not a regular file");
  }
  std::vector<std::uint8_t> longer(3 * kMemoryImageBytes, 0xFF);
  longer[0] = '4';
  WriteInput(scratch + "/long.Rn", longer.data(), longer.size());
  const Result<OpenedFile> result = OpenDataFile(scratch + "/long.Rn", store, FuzzContext());
  Check(result && result->model == InstrumentModel::K8);
  CheckDecoded(store, result->decode);
}

// The erase record and the settings file at names where no file can be
// kept: refused (the record) or left alone (the settings), never waited on.
void OpenSpecialRecords(const std::string& scratch) {
  const std::string fifo = scratch + "/fifo";
  const std::string folder = scratch + "/folder";
  const std::string zero = scratch + "/zero";
  for (const std::string& data : {fifo, folder, zero}) Check(::mkdir(data.c_str(), 0755) == 0);
  Check(::mkfifo((fifo + "/erased").c_str(), 0644) == 0);
  Check(::mkdir((folder + "/erased").c_str(), 0755) == 0);
  Check(::symlink("/dev/zero", (zero + "/erased").c_str()) == 0);
  for (const std::string& data : {fifo, folder, zero}) {
    Check(!LastErase(data, "S1"));
    Check(!RecordErase(data, "S1", 45000));
  }
  for (const std::string& ini : {fifo + "/erased", folder + "/erased", zero + "/erased"}) {
    SettingsFile file = OpenSettingsFile(ini);
    Check(file.problem.has_value());
    file.settings->setValue("k", 1);
    file.settings->sync();
  }
}

void ReadAsRecords(const std::uint8_t* data, std::size_t size, const std::string& scratch) {
  WriteInput(scratch + "/erased", data, size);
  const Result<std::optional<DateTime>> erased = LastErase(scratch, "S1");
  Check(erased.ok());
  WriteInput(scratch + "/settings.ini", data, size);
  SettingsFile file = OpenSettingsFile(scratch + "/settings.ini");
  Check(!file.problem);
  volatile std::size_t sink = 0;
  for (const QString& key : file.settings->allKeys()) {
    sink = sink + file.settings->value(key).toString().size();
  }
}

// A folder for the inputs written as files, gone when the run ends.
struct ScratchFolder {
  ScratchFolder() {
    char name[] = "/tmp/kestrum-fuzz-input-XXXXXX";
    Check(::mkdtemp(name) != nullptr);
    path = name;
  }
  ~ScratchFolder() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string path;
};

const std::string& Scratch() {
  static ScratchFolder folder;
  return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char scratch[] = "/tmp/kestrum-fuzz-XXXXXX";
  Check(::mkdtemp(scratch) != nullptr);
  auto store = std::make_unique<MeasurementStore>();
  OpenSpecialFiles(scratch, *store);
  OpenSpecialRecords(scratch);
  std::system(("rm -rf '" + std::string(scratch) + "'").c_str());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MeasurementStore* store = new MeasurementStore();
  DecodeAndWrite(data, size, *store);
  ReadAsRecords(data, size, Scratch());

  if (size > 0) {
    if (const auto model = ModelFromMarker(data[0])) {
      const auto length = static_cast<std::size_t>(ImageLengthOf(*model));
      if (size < length) {
        std::vector<std::uint8_t> padded(data, data + size);
        padded.resize(length, 0xFF);
        DecodeAndWrite(padded.data(), padded.size(), *store);
      }
    }
  }
  return 0;
}
