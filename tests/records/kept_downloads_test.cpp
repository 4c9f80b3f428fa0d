// SPDX-License-Identifier: GPL-3.0-or-later
// The kept downloads' names, their listing and summaries, and the erase record.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include "records/checked_file.h"
#include "records/data_file.h"
#include "records/date_time.h"
#include "records/erase_record.h"
#include "records/image_generator.h"
#include "records/kept_download_summary.h"
#include "records/kept_downloads.h"

namespace kestrum {
namespace {

class KeptFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/kestrum-kept-test-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    folder = name;
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string folder;
};

const DateTime kAt = EncodeDate(2025, 11, 3) + EncodeTime(7, 5, 9, 0);

TEST(KeptDownloadNames, WrittenNamesReadBackAndOthersAreNotTaken) {
  const KeptDownloadName names[] = {
      {InstrumentModel::K5, "FT4XYZ", kAt, 1},
      {InstrumentModel::K8, "", kAt, 1},
      {InstrumentModel::K7, "A1.b_2+", kAt + 0.5, 12},
  };
  const char* written[] = {"K5-FT4XYZ-20251103-070509.Rn", "K8--20251103-070509.Rn",
                           "K7-A1.b_2+-20251103-190509-12.Rn"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(KeptDownloadFileName(names[i]), written[i]);
    const auto back = ParseKeptDownloadFileName(written[i]);
    ASSERT_TRUE(back) << written[i];
    EXPECT_EQ(back->model, names[i].model);
    EXPECT_EQ(back->serial, names[i].serial);
    EXPECT_NEAR(back->at, names[i].at, kOneMillisecond);
    EXPECT_EQ(back->copy, names[i].copy);
  }
  // Characters a file name must not carry become '_'.
  EXPECT_EQ(KeptDownloadFileName({InstrumentModel::K6, "a/b c-d", kAt, 1}),
            "K6-a_b_c_d-20251103-070509.Rn");
  for (const char* other :
       {"RnData.Rn", "K9-S-20251103-070509.Rn", "K8-S-20251303-070509.Rn",
        "K8-S-20251103-070509.rn", "K8-S-20251103-070509-1.Rn", "K8-S-20251103-0705.Rn",
        "K8-a b-20251103-070509.Rn", ".kestrum-Ab12Cd"}) {
    EXPECT_FALSE(ParseKeptDownloadFileName(other)) << other;
  }
}

TEST_F(KeptFilesTest, KeepingNeverReplacesAFileAndListsNewestFirst) {
  const std::string downloads = folder + "/new/downloads";
  const Result<KeptDownloadFile> first =
      KeepDownload(downloads, InstrumentModel::K5, "S1", kAt, "first");
  const Result<KeptDownloadFile> second =
      KeepDownload(downloads, InstrumentModel::K5, "S1", kAt, "second");
  const Result<KeptDownloadFile> later =
      KeepDownload(downloads, InstrumentModel::K5, "S1", kAt + kOneHour, "later");
  ASSERT_EQ(first.error() + second.error() + later.error(), "");
  EXPECT_EQ(second->path, downloads + "/K5-S1-20251103-070509-2.Rn");
  EXPECT_EQ(KeptDownloadFileName(second->name), "K5-S1-20251103-070509-2.Rn");
  const auto files = KeptDownloadFiles(downloads);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].path, later->path);
  EXPECT_EQ(files[1].path, second->path);
  EXPECT_EQ(files[2].path, first->path);
  std::ifstream in(first->path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "first");
  // The no-replace write itself refuses a taken name.
  EXPECT_EQ(WriteNewFile(first->path, "over").error(), kFileExistsText);
}

TEST_F(KeptFilesTest, SummariesCountTheRunsAndSpanTheirDates) {
  GeneratorOptions options;
  options.model = InstrumentModel::K7;
  options.runs = 3;
  options.hours = 20;
  options.start = EncodeDate(2025, 10, 1);
  DateTime lastRunEnd = 0;
  const auto image = GenerateMemoryImage(options, &lastRunEnd);
  const std::string downloads = folder + "/downloads";
  ASSERT_TRUE(
      KeepDownload(downloads, InstrumentModel::K7, "S7", kAt,
                   std::string_view(reinterpret_cast<const char*>(image.data()), image.size()))
          .ok());
  // A file of the right name but no data file: listed with its problem.
  std::ofstream(downloads + "/K8-S8-20251104-000000.Rn") << "x";

  const auto summaries = SummarizeKeptDownloads(downloads, kAt);
  ASSERT_EQ(summaries.size(), 2u);
  EXPECT_FALSE(summaries[0].runs.error().empty());
  ASSERT_TRUE(summaries[1].runs.ok()) << summaries[1].runs.error();
  const KeptRuns& runs = summaries[1].runs.value();
  EXPECT_EQ(runs.count, 3);
  ASSERT_TRUE(runs.firstStart && runs.lastEnd);
  EXPECT_NEAR(*runs.firstStart, options.start, kOneMillisecond);
  EXPECT_NEAR(*runs.lastEnd, lastRunEnd, kOneMillisecond);
}

TEST_F(KeptFilesTest, TheEraseRecordKeepsTheLastEraseOfEachInstrument) {
  EXPECT_FALSE(LastErase(folder, "S1").value());
  ASSERT_EQ(RecordErase(folder + "/data", "S1", kAt).error(), "");
  ASSERT_EQ(RecordErase(folder + "/data", "", kAt + 1).error(), "");
  ASSERT_EQ(RecordErase(folder + "/data", "S1", kAt + 2).error(), "");
  EXPECT_NEAR(*LastErase(folder + "/data", "S1").value(), kAt + 2, kOneMillisecond);
  EXPECT_NEAR(*LastErase(folder + "/data", "").value(), kAt + 1, kOneMillisecond);
  EXPECT_FALSE(LastErase(folder + "/data", "S2").value());
  // A damaged record reads as no erase, and the next erase mends it.
  std::ofstream(folder + "/data/erased") << "\x01\xff garbage\nS1 2025\n";
  EXPECT_FALSE(LastErase(folder + "/data", "S1").value());
  ASSERT_EQ(RecordErase(folder + "/data", "S1", kAt).error(), "");
  EXPECT_NEAR(*LastErase(folder + "/data", "S1").value(), kAt, kOneMillisecond);
}

// A link planted at the kept name is never followed: the download takes the
// next copy number, and nothing is written where the link points.
TEST_F(KeptFilesTest, ALinkAtTheKeptNameIsNeverFollowed) {
  const std::string kept = folder + "/downloads";
  std::filesystem::create_directories(kept);
  const std::string name = KeptDownloadFileName({InstrumentModel::K7, "S1", kAt, 1});
  const std::string outside = folder + "/outside";
  const std::string existing = folder + "/existing";
  std::ofstream(existing) << "precious";
  for (const std::string& target : {outside, existing}) {
    SCOPED_TRACE(target);
    std::filesystem::remove(kept + "/" + name);
    ASSERT_EQ(::symlink(target.c_str(), (kept + "/" + name).c_str()), 0);
    const Result<KeptDownloadFile> written =
        KeepDownload(kept, InstrumentModel::K7, "S1", kAt, "image");
    ASSERT_TRUE(written) << written.error();
    EXPECT_EQ(std::filesystem::path(written->path).filename(),
              KeptDownloadFileName({InstrumentModel::K7, "S1", kAt, 2}));
    std::filesystem::remove(written->path);
  }
  EXPECT_FALSE(std::filesystem::exists(outside));
  std::ifstream in(existing);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "precious");
}

// Whatever stands at the record's name, reading it never hangs or fills
// memory: it is reported and counts as no record, and the next erase is
// noted only where a record can be written.
TEST_F(KeptFilesTest, AnEraseRecordThatIsNoFileIsReportedAndIgnored) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    bool writable;  // the next erase can be noted
  };
  const std::vector<Case> cases = {
      {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, false},
      {"a link to /dev/zero",
       [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); }, false},
      {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); }, false},
      {"a file too long to be a record",
       [](const std::string& p) { std::ofstream(p) << std::string(2 << 20, 'x'); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string data = folder + "/" + std::to_string(&c - cases.data());
    std::filesystem::create_directories(data);
    c.make(data + "/erased");
    const auto read = LastErase(data, "S1");
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().find("erase record"), std::string::npos) << read.error();
    EXPECT_EQ(static_cast<bool>(RecordErase(data, "S1", kAt)), c.writable);
    if (c.writable) {
      EXPECT_NEAR(*LastErase(data, "S1").value(), kAt, kOneMillisecond);
    }
  }
}

}  // namespace
}  // namespace kestrum
