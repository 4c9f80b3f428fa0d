// SPDX-License-Identifier: GPL-3.0-or-later
// Every complete download is kept before it is decoded; a broken one keeps
// nothing. The erase question knows whether the memory was kept since.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "command_fixture.h"
#include "commands/erase_notice.h"
#include "commands/instrument_erase.h"
#include "commands/measurement_download.h"
#include "download_ends.h"
#include "records/data_file.h"
#include "records/erase_record.h"
#include "records/kept_downloads.h"
#include "records/open_data_file.h"

namespace kestrum::testing {
namespace {

// 2028-04-09 10:20:30, after every generated run.
const DateTime kNow = EncodeDate(2028, 4, 9) + EncodeTime(10, 20, 30, 0);

class KeptDownloadTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    store = std::make_unique<MeasurementStore>();
    settings.directory = folder;
    settings.decode.now = kNow;
    settings.decode.outputDirectory = folder;
    settings.keepFolder = folder + "/data/downloads";
  }

  DownloadOutcome Download() { return DownloadMeasurements(*store, settings, window); }

  std::vector<KeptDownloadFile> Kept() const { return KeptDownloadFiles(settings.keepFolder); }

  std::unique_ptr<MeasurementStore> store;
  DownloadSettings settings;
};

// The kept download's path; empty when none was written.
std::string KeptPath(const DownloadOutcome& outcome) {
  const DownloadDecoded* decoded = DecodedOf(outcome);
  return decoded && decoded->kept && *decoded->kept ? decoded->kept->value().file.path
                                                    : std::string();
}

std::string WholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(KeptDownloadTest, TheKeptFileIsTheDownloadedImageAndOpensToTheSameRuns) {
  for (InstrumentModel model :
       {InstrumentModel::K5, InstrumentModel::K6, InstrumentModel::K7, InstrumentModel::K8}) {
    SCOPED_TRACE(ModelName(model));
    auto instrument = Attach(model);
    const DownloadOutcome outcome = Download();
    ASSERT_EQ(EndOf(outcome), "decoded") << StoppedOf(outcome).failure.message;
    ASSERT_TRUE(DecodedOf(outcome)->decode.foundRuns);

    const std::string expectedName =
        std::string(ModelName(model)) + "-SER" + ModelName(model) + "-20280409-102030.Rn";
    EXPECT_EQ(KeptPath(outcome), settings.keepFolder + "/" + expectedName);
    const std::string kept = WholeFile(KeptPath(outcome));
    EXPECT_EQ(kept, DataFileContent(*store));
    // The instrument's own bytes, but for byte 0 (the marker) and, for the
    // K7 and K8, bytes 9-16 (the coefficients) and the K7's unsent last byte.
    const Bytes memory = Generated(model);
    ASSERT_EQ(kept.size(), memory.size());
    EXPECT_EQ(static_cast<std::uint8_t>(kept[0]), ModelMarkerOf(model));
    EXPECT_EQ(
        kept.compare(17, kept.size() - 18, std::string(memory.begin() + 17, memory.end() - 1)), 0);

    auto reopened = std::make_unique<MeasurementStore>();
    DecodeContext context = settings.decode;
    context.writeFiles = false;
    const Result<OpenedFile> opened = OpenDataFile(KeptPath(outcome), *reopened, context);
    ASSERT_TRUE(opened.ok()) << opened.error();
    EXPECT_EQ(opened->decode.itemTexts, DecodedOf(outcome)->decode.itemTexts);
    bus.Unplug(instrument->Serial());
  }
  EXPECT_EQ(Kept().size(), 4u);
}

TEST_F(KeptDownloadTest, ASecondDownloadInTheSameSecondIsKeptBesideTheFirst) {
  Attach(InstrumentModel::K8);
  const std::string first = KeptPath(Download());
  const std::string second = KeptPath(Download());
  EXPECT_EQ(second, settings.keepFolder + "/K8-SERK8-20280409-102030-2.Rn");
  EXPECT_NE(first, second);
  EXPECT_EQ(WholeFile(first), WholeFile(second));
  // Newest first.
  const auto kept = Kept();
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].path, second);
}

TEST_F(KeptDownloadTest, ABrokenOrCancelledDownloadKeepsNothing) {
  auto k8 = Attach(InstrumentModel::K8);
  k8->UnplugAfterSending(70000);
  EXPECT_EQ(EndOf(Download()), "incomplete");
  bus.Plug(k8);
  window.transferProgress = [](std::uint32_t received, std::uint32_t) { return received < 20000; };
  EXPECT_EQ(EndOf(Download()), "cancelled");
  EXPECT_TRUE(Kept().empty());
  EXPECT_FALSE(std::filesystem::exists(settings.keepFolder));
}

TEST_F(KeptDownloadTest, AnUnwritableFolderIsReportedAndTheDownloadStillCompletes) {
  // A file where the data folder should be: even root cannot write there.
  std::ofstream(folder + "/data") << "in the way";
  Attach(InstrumentModel::K7);
  const DownloadOutcome outcome = Download();
  ASSERT_EQ(EndOf(outcome), "decoded");
  EXPECT_TRUE(DecodedOf(outcome)->decode.foundRuns);
  ASSERT_TRUE(DecodedOf(outcome)->kept.has_value());
  EXPECT_EQ(DecodedOf(outcome)->kept->error(), "Not a directory");
  EXPECT_EQ(window.status,
            "The download was not kept in " + folder + "/data/downloads: Not a directory");
  EXPECT_TRUE(DownloadReachedTheDevice(outcome));
}

TEST_F(KeptDownloadTest, TheEraseQuestionSaysWhetherTheMemoryWasKeptSinceTheLastErase) {
  const std::string data = folder + "/data";
  const std::string keptLine =
      "The memory downloaded at 2028-04-09 10:20:30 is kept in " + data + "/downloads.";
  const std::string lostSinceErase =
      "This instrument's memory has not been downloaded since 2028-04-09 10:20:30: its "
      "measurements will be lost.";
  const std::string lostEver =
      "This instrument's memory has not been downloaded since this program started keeping "
      "downloads: its measurements will be lost.";
  const DateTime later = kNow + kOneHour;

  EXPECT_EQ(EraseNoticeFor(data, "SERK8").line, lostEver);
  Attach(InstrumentModel::K8);
  Download();
  EXPECT_EQ(EraseNoticeFor(data, "OTHER").line, lostEver);  // another instrument's download
  const EraseNotice kept = EraseNoticeFor(data, "SERK8");
  EXPECT_TRUE(kept.downloadKept);
  EXPECT_EQ(kept.line, keptLine);

  // Erased in the same second as the download: the download came first.
  ASSERT_EQ(RecordErase(data, "SERK8", kNow).error(), "");
  const EraseNotice lost = EraseNoticeFor(data, "SERK8");
  EXPECT_FALSE(lost.downloadKept);
  EXPECT_EQ(lost.line, lostSinceErase);

  settings.decode.now = later;
  Download();
  EXPECT_TRUE(EraseNoticeFor(data, "SERK8").downloadKept);
}

TEST_F(KeptDownloadTest, TheEraseAddsTheLineAndMakesCancelTheDefaultWhenMeasurementsWouldBeLost) {
  struct CancelDefaultWindow : RecordingWindow {
    bool ConfirmCancelDefault(const std::string& text) override {
      cancelDefault = true;
      return Confirm(text);
    }
    bool cancelDefault = false;
  };
  for (bool loses : {false, true}) {
    SCOPED_TRACE(loses);
    CancelDefaultWindow asking;
    asking.answer = false;
    EraseInstrument(asking, {"one more line", loses});
    ASSERT_EQ(asking.questions.size(), 1u);
    EXPECT_EQ(asking.questions[0], std::string(kEraseConfirmText) + "\none more line");
    EXPECT_EQ(asking.cancelDefault, loses);
  }
}

}  // namespace
}  // namespace kestrum::testing
