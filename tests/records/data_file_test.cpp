// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "records/data_file.h"
#include "records/date_time.h"
#include "records/image_builder.h"
#include "records/image_generator.h"
#include "records/open_data_file.h"

namespace kestrum {
namespace {

using testing::NewStore;
using testing::NoFiles;
using testing::ReadWholeFile;
using testing::TempFolder;

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string GeneratedBytes(InstrumentModel model, int runs = 3, int hours = 40) {
  GeneratorOptions options;
  options.model = model;
  options.runs = runs;
  options.hours = hours;
  const std::vector<std::uint8_t> image = GenerateMemoryImage(options);
  return std::string(image.begin(), image.end());
}

// A decoded K6 image whose state a rejected file must not touch.
void DecodeSomething(MeasurementStore& store, const TempFolder& folder) {
  WriteBytes(folder.File("good.Rn"), GeneratedBytes(InstrumentModel::K6));
  ASSERT_TRUE(OpenDataFile(folder.File("good.Rn"), store, NoFiles()).ok());
  ASSERT_EQ(store.RunCount, 3);
}

TEST(DataFile, RoundTripKeepsBytesAndRuns) {
  TempFolder folder;
  for (InstrumentModel model :
       {InstrumentModel::K5, InstrumentModel::K6, InstrumentModel::K7, InstrumentModel::K8}) {
    const std::string bytes = GeneratedBytes(model);
    auto original = NewStore();
    const Result<OpenedFile> first =
        OpenImageBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                       "generated", *original, NoFiles());
    ASSERT_TRUE(first.ok());
    ASSERT_TRUE(first->decode.foundRuns);

    const std::string path = folder.File(std::string(ModelName(model)) + ".Rn");
    ASSERT_EQ(SaveDataFile(path, *original).error(), "");
    const std::string saved = ReadWholeFile(path);
    EXPECT_EQ(saved.size(), static_cast<std::size_t>(ImageLengthOf(model)));
    EXPECT_EQ(saved, bytes);

    auto reopened = NewStore();
    const Result<OpenedFile> second = OpenDataFile(path, *reopened, NoFiles());
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(second->model, model);
    EXPECT_EQ(second->decode.itemTexts, first->decode.itemTexts);
    ASSERT_EQ(reopened->RunCount, original->RunCount);
    for (int i = 0; i <= original->RunCount; ++i) {
      EXPECT_EQ(reopened->Runs[i].FirstSample, original->Runs[i].FirstSample);
      EXPECT_EQ(reopened->Runs[i].LastSample, original->Runs[i].LastSample);
      EXPECT_EQ(reopened->Runs[i].StartTime, original->Runs[i].StartTime);
    }
    EXPECT_EQ(reopened->CalibrationFactor, original->CalibrationFactor);
  }
}

TEST(DataFile, WrongFirstByteIsRejectedAndNothingChanges) {
  TempFolder folder;
  auto store = NewStore();
  DecodeSomething(*store, folder);
  const auto image = store->MemoryImage;
  const std::int32_t last = store->LastSampleIndex;
  const std::string memo = store->diagnosticText;

  std::string bytes = GeneratedBytes(InstrumentModel::K8);
  bytes[0] = '5';
  WriteBytes(folder.File("bad.Rn"), bytes);
  const Result<OpenedFile> result = OpenDataFile(folder.File("bad.Rn"), *store, NoFiles());
  EXPECT_EQ(
      result.error(),
      folder.File("bad.Rn") + ": not a Kestrum data file (first byte 0x35, expected '1' to '4').");
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(store->MemoryImage, image);
  EXPECT_EQ(store->LastSampleIndex, last);
  EXPECT_EQ(store->RunCount, 3);
  EXPECT_EQ(store->diagnosticText, memo);
}

TEST(DataFile, ShortFileIsRejectedAndNothingChanges) {
  TempFolder folder;
  auto store = NewStore();
  DecodeSomething(*store, folder);
  const auto image = store->MemoryImage;

  // A K7 file cut after a K6 length: would have mixed with the old bytes.
  WriteBytes(folder.File("cut.Rn"), GeneratedBytes(InstrumentModel::K7).substr(0, 32768));
  Result<OpenedFile> result = OpenDataFile(folder.File("cut.Rn"), *store, NoFiles());
  EXPECT_EQ(result.error(), folder.File("cut.Rn") +
                                ": the file is too short for a K7 image (32768 bytes, 131072 "
                                "needed).");
  EXPECT_EQ(store->MemoryImage, image);
  EXPECT_EQ(store->RunCount, 3);

  // A K5 image one byte short.
  WriteBytes(folder.File("k5.Rn"), GeneratedBytes(InstrumentModel::K5).substr(0, 8191));
  result = OpenDataFile(folder.File("k5.Rn"), *store, NoFiles());
  EXPECT_NE(result.error().find("too short for a K5 image (8191 bytes, 8192 needed)"),
            std::string::npos);

  WriteBytes(folder.File("one.Rn"), "1");
  result = OpenDataFile(folder.File("one.Rn"), *store, NoFiles());
  EXPECT_NE(result.error().find("too short for a K5 image (1 byte, 8192 needed)"),
            std::string::npos);

  WriteBytes(folder.File("empty.Rn"), "");
  result = OpenDataFile(folder.File("empty.Rn"), *store, NoFiles());
  EXPECT_EQ(result.error(),
            folder.File("empty.Rn") + ": the file is empty, not a Kestrum data file.");

  result = OpenDataFile(folder.File("absent.Rn"), *store, NoFiles());
  EXPECT_EQ(result.error(), folder.File("absent.Rn") + ": No such file or directory");
  EXPECT_EQ(store->MemoryImage, image);
}

TEST(DataFile, LongerFileCountsByItsFirstBytes) {
  TempFolder folder;
  auto store = NewStore();
  store->MemoryImage.fill(0xAB);
  const std::string k5 = GeneratedBytes(InstrumentModel::K5);
  WriteBytes(folder.File("long.Rn"), k5 + std::string(5000, '\x11'));
  const Result<OpenedFile> result = OpenDataFile(folder.File("long.Rn"), *store, NoFiles());
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(std::string(store->MemoryImage.begin(), store->MemoryImage.begin() + 8192), k5);
  EXPECT_EQ(store->MemoryImage[8192], 0xAB);  // beyond a K5 image: as it was
  EXPECT_TRUE(result->decode.foundRuns);
  // Taken, but not silently: the note says what was left out.
  EXPECT_EQ(result->note, folder.File("long.Rn") +
                              " holds more than a K5's memory of 8192 bytes; the bytes after "
                              "them were left out");
  WriteBytes(folder.File("exact.Rn"), k5);
  const Result<OpenedFile> exact = OpenDataFile(folder.File("exact.Rn"), *store, NoFiles());
  ASSERT_TRUE(exact.ok());
  EXPECT_EQ(exact->note, "");
}

// A FIFO without a writer used to block the open for good; /dev/zero to
// grow without end. Neither may wait or change anything.
TEST(DataFile, SpecialFilesAreRefusedWithoutWaiting) {
  TempFolder folder;
  auto store = NewStore();
  DecodeSomething(*store, folder);
  const auto image = store->MemoryImage;
  ASSERT_EQ(::mkfifo(folder.File("fifo.Rn").c_str(), 0644), 0);
  ASSERT_EQ(::mkdir(folder.File("folder.Rn").c_str(), 0755), 0);
  ::alarm(10);  // a hang ends the test program instead of stalling it
  for (const std::string& path :
       {folder.File("fifo.Rn"), folder.File("folder.Rn"), std::string("/dev/zero")}) {
    const Result<OpenedFile> result = OpenDataFile(path, *store, NoFiles());
    EXPECT_EQ(result.error(), path + " is not a regular file");
  }
  ::alarm(0);
  EXPECT_EQ(store->MemoryImage, image);
  EXPECT_EQ(store->RunCount, 3);
}

TEST(DataFile, NoMoreThanTheLongestImageAndOneByteIsRead) {
  TempFolder folder;
  WriteBytes(folder.File("huge.Rn"), std::string(3 * 131072, '4'));
  const Result<std::vector<std::uint8_t>> file = ReadDataFileBytes(folder.File("huge.Rn"));
  ASSERT_TRUE(file.ok()) << file.error();
  EXPECT_EQ(file->size(), 131073u);
}

TEST(DataFile, SaveWritesTheModelsLength) {
  TempFolder folder;
  auto store = NewStore();
  store->MemoryImage.fill(0x5A);
  store->MemoryImage[0] = '3';
  store->MemoryImage[131071] = 0x77;  // a K7 download leaves this byte as it was
  ASSERT_EQ(SaveDataFile(folder.File("k7.Rn"), *store).error(), "");
  const std::string k7 = ReadWholeFile(folder.File("k7.Rn"));
  ASSERT_EQ(k7.size(), 131072u);
  EXPECT_EQ(static_cast<std::uint8_t>(k7.back()), 0x77);

  store->MemoryImage[0] = '1';
  ASSERT_EQ(SaveDataFile(folder.File("k5.Rn"), *store).error(), "");
  EXPECT_EQ(ReadWholeFile(folder.File("k5.Rn")).size(), 8192u);
  store->MemoryImage[0] = '2';
  ASSERT_EQ(SaveDataFile(folder.File("k6.Rn"), *store).error(), "");
  EXPECT_EQ(ReadWholeFile(folder.File("k6.Rn")).size(), 32768u);
  store->MemoryImage[0] = 0;  // no model: the file is created empty
  ASSERT_EQ(SaveDataFile(folder.File("none.Rn"), *store).error(), "");
  EXPECT_TRUE(testing::FileExists(folder.File("none.Rn")));
  EXPECT_EQ(ReadWholeFile(folder.File("none.Rn")), "");
}

TEST(DataFile, FailedSaveReportsAndKeepsTheOldFile) {
  TempFolder folder;
  auto store = NewStore();
  store->MemoryImage[0] = '1';
  EXPECT_EQ(SaveDataFile(folder.File("no/such/folder/x.Rn"), *store).error(),
            "No such file or directory");

  // A folder that cannot be written (when running as root, permissions do not
  // stop us; a path through a regular file fails for everyone).
  WriteBytes(folder.File("old.Rn"), "previous contents");
  EXPECT_EQ(SaveDataFile(folder.File("old.Rn/x.Rn"), *store).error(), "Not a directory");
  EXPECT_EQ(ReadWholeFile(folder.File("old.Rn")), "previous contents");

  // Saving over an existing file replaces it whole and leaves no temporary files.
  ASSERT_EQ(SaveDataFile(folder.File("old.Rn"), *store).error(), "");
  EXPECT_EQ(ReadWholeFile(folder.File("old.Rn")).size(), 8192u);
  const auto entries = std::filesystem::directory_iterator(folder.path());
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
}

TEST(DataFile, SavedFileGetsOrdinaryPermissions) {
  TempFolder folder;
  auto store = NewStore();
  store->MemoryImage[0] = '1';
  const mode_t mask = ::umask(022);
  ASSERT_EQ(SaveDataFile(folder.File("new.Rn"), *store).error(), "");
  struct stat info {};
  ASSERT_EQ(::stat(folder.File("new.Rn").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  ::chmod(folder.File("new.Rn").c_str(), 0600);
  ASSERT_EQ(SaveDataFile(folder.File("new.Rn"), *store).error(), "");
  ASSERT_EQ(::stat(folder.File("new.Rn").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);  // a replaced file keeps its own
  ::umask(mask);
}

}  // namespace
}  // namespace kestrum
