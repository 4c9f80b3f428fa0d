// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "command_fixture.h"
#include "commands/measurement_download.h"
#include "download_ends.h"
#include "file_faults.h"
#include "records/open_data_file.h"

namespace kestrum::testing {
namespace {

constexpr DateTime kLongAfter = 47000;

// An earlier download is on screen; a broken transfer must leave all of it.
class DownloadFaultTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    store = std::make_unique<MeasurementStore>();
    const Bytes earlier = Generated(InstrumentModel::K6, 11);
    DecodeContext context;
    context.now = kLongAfter;
    context.writeFiles = false;
    ASSERT_TRUE(OpenImageBytes(earlier.data(), earlier.size(), "earlier.Rn", *store, context)
                    ->decode.foundRuns);
    before = std::make_unique<MeasurementStore>(*store);
    ParameterBlock.fill(0x33);
    settings.directory = folder;
    settings.decode.now = kLongAfter;
    settings.decode.outputDirectory = folder;
  }

  DownloadOutcome Download() { return DownloadMeasurements(*store, settings, window); }

  void ExpectNothingChanged(const DownloadOutcome& outcome) {
    EXPECT_EQ(store->MemoryImage, before->MemoryImage);
    EXPECT_EQ(store->RunCount, before->RunCount);
    EXPECT_EQ(store->LastSampleIndex, before->LastSampleIndex);
    EXPECT_EQ(store->CalibrationFactor, before->CalibrationFactor);
    EXPECT_EQ(store->DirectorySlot, before->DirectorySlot);
    EXPECT_EQ(store->FinalAddress, before->FinalAddress);
    EXPECT_EQ(store->PressureCoefficientA0, before->PressureCoefficientA0);
    EXPECT_EQ(store->Runs[0].StartTime, before->Runs[0].StartTime);
    EXPECT_EQ(ParameterBlock[0], 0x33);
    for (const char* file : {"K5C.tmp", "K5.tmp", "K6.tmp", "K7.tmp", "RN4.tmp", "K7E.csv",
                             "K84E.csv", "k5dat.tmp", "debug.tmp"}) {
      EXPECT_FALSE(FileExists(file)) << file;
    }
    EXPECT_FALSE(DownloadOffersTriggerLevel(outcome));
    EXPECT_TRUE(DownloadReachedTheDevice(outcome));
    EXPECT_EQ(window.status, "");
    EXPECT_EQ(trace.back(), "close -> 0");
    EXPECT_FALSE(bus.IsOpen(SelectedInstrument.SerialNo));
  }

  std::unique_ptr<MeasurementStore> store;
  std::unique_ptr<MeasurementStore> before;
  DownloadSettings settings;
};

struct ModelCase {
  InstrumentModel model;
  std::uint32_t memoryReply;
  std::uint64_t bytesBeforeMemory;  // answers to the first query and identify
  double lineMsPerByte;
};

const ModelCase kModels[] = {
    {InstrumentModel::K5, 16383, 4, 10000.0 / 9600},
    {InstrumentModel::K6, 65535, 4, 10000.0 / 9600},
    {InstrumentModel::K7, 131071, 4, 10000.0 / 9600},
    {InstrumentModel::K8, 131072, 0, 10000.0 / 230400},
};

TEST_F(DownloadFaultTest, UnplugMidTransferReportsTheCountAndChangesNothing) {
  for (const ModelCase& c : kModels) {
    SCOPED_TRACE(ModelName(c.model));
    trace.clear();
    window = RecordingWindow();
    auto instrument = Attach(c.model);
    instrument->UnplugAfterSending(c.bytesBeforeMemory + 5000);
    const double start = NowMs();

    const DownloadOutcome outcome = Download();

    EXPECT_EQ(EndOf(outcome), "incomplete");
    EXPECT_EQ(StoppedOf(outcome).shortfall.received, 5000u);
    EXPECT_EQ(StoppedOf(outcome).shortfall.requested, c.memoryReply);
    // Said as what it is: the converter went away, not a reply that stopped.
    EXPECT_NE(StoppedOf(outcome).failure.message.find("went away (unplugged?) after 5000 of " +
                                                      std::to_string(c.memoryReply) + " bytes"),
              std::string::npos)
        << StoppedOf(outcome).failure.message;
    EXPECT_EQ(DecodedOf(outcome), nullptr);
    ExpectNothingChanged(outcome);
    // The read gives up as soon as the device has gone.
    EXPECT_LT(NowMs() - start, 200 + 5100 * c.lineMsPerByte);
  }
}

TEST_F(DownloadFaultTest, SilentInstrumentEndsAfterThePortTimeout) {
  for (const ModelCase& c : kModels) {
    SCOPED_TRACE(ModelName(c.model));
    trace.clear();
    window = RecordingWindow();
    auto instrument = Attach(c.model);
    instrument->SetSilent(true);
    const double start = NowMs();

    const DownloadOutcome outcome = Download();

    EXPECT_EQ(EndOf(outcome), "incomplete");
    EXPECT_EQ(StoppedOf(outcome).shortfall.received, 0u);
    // K5-K7: the identify answer never comes (the first query waited too).
    EXPECT_EQ(StoppedOf(outcome).shortfall.requested,
              c.model == InstrumentModel::K8 ? 131072u : 2u);
    ExpectNothingChanged(outcome);
    const double timeouts = c.model == InstrumentModel::K8 ? 1 : 2;
    EXPECT_LT(NowMs() - start, timeouts * 2000 + 200);
    bus.Unplug(instrument->Serial());
  }
}

// The memory has arrived in full, the last reply breaks off: not one file
// ("K7E.csv", "K84E.csv", "K5C.tmp" included) may have changed.
TEST_F(DownloadFaultTest, LastReplyCutShortWritesNoFile) {
  const struct {
    InstrumentModel model;
    int repliesBefore;  // first query, identify, memory, (K7: parameters)
    std::uint32_t requested;
  } cases[] = {
      {InstrumentModel::K5, 3, 18},
      {InstrumentModel::K6, 3, 18},
      {InstrumentModel::K7, 4, 8},
      {InstrumentModel::K8, 1, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ModelName(c.model));
    trace.clear();
    window = RecordingWindow();
    auto instrument = Attach(c.model);
    for (int i = 0; i < c.repliesBefore; ++i) instrument->AnswerAsUsual();
    instrument->AnswerShort(3);

    const DownloadOutcome outcome = Download();

    EXPECT_EQ(EndOf(outcome), "incomplete");
    EXPECT_EQ(StoppedOf(outcome).shortfall.received, 3u);
    EXPECT_EQ(StoppedOf(outcome).shortfall.requested, c.requested);
    ExpectNothingChanged(outcome);
    bus.Unplug(instrument->Serial());
  }
}

// What the box says names the cause: bytes no instrument sends, a reply cut
// short (raw bytes cannot be told from garbage), a converter gone.
TEST_F(DownloadFaultTest, TheErrorNamesGarbledShortOrGone) {
  const Bytes garbage = {0xFF, 0x00, 0xA5, 0x5A};
  const struct {
    InstrumentModel model;
    std::function<void(EmulatedInstrument&)> fault;
    const char* text;
  } cases[] = {
      {InstrumentModel::K5,
       [&](EmulatedInstrument& i) { i.AnswerWrong(garbage, ReplyKind::kMemory); },
       "The reply from the Kestrum came garbled: 4 of 16383 bytes arrived"},
      {InstrumentModel::K6,
       [&](EmulatedInstrument& i) { i.AnswerWrong(garbage, ReplyKind::kParameters); },
       "The reply from the Kestrum came garbled: 4 of 18 bytes arrived"},
      {InstrumentModel::K5, [](EmulatedInstrument& i) { i.AnswerShort(4, ReplyKind::kMemory); },
       "The transfer from the Kestrum was incomplete: 4 of 16383 bytes arrived"},
      {InstrumentModel::K8,
       [&](EmulatedInstrument& i) { i.AnswerWrong(garbage, ReplyKind::kMemory); },
       "The transfer from the Kestrum was incomplete: 4 of 131072 bytes arrived"},
      {InstrumentModel::K7, [](EmulatedInstrument& i) { i.UnplugAfterSending(1004); },
       "The Kestrum's converter went away (unplugged?) after 1000 of 131071 bytes."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    window = RecordingWindow();
    auto instrument = Attach(c.model);
    c.fault(*instrument);

    const DownloadOutcome outcome = Download();

    EXPECT_EQ(EndOf(outcome), "incomplete");
    EXPECT_EQ(StoppedOf(outcome).failure.message.rfind(c.text, 0), 0u)
        << StoppedOf(outcome).failure.message;
    ExpectNothingChanged(outcome);
    if (bus.IsPlugged(instrument->Serial())) bus.Unplug(instrument->Serial());
  }
}

// A copy that cannot be written (a read-only file, a full disk, a folder that
// is gone), the word table included, is reported in the status text; its
// earlier version stays whole, and the download itself counts and is kept.
TEST_F(DownloadFaultTest, CopyThatCannotBeWrittenIsReportedAndTheDownloadCounts) {
  enum class Fault { kReadOnly, kFullDisk, kFolderGone };
  const struct {
    InstrumentModel model;
    Fault fault;
    std::vector<const char*> failing;  // in the order they are written
    const char* reason;                // empty: "<path> is read-only"
  } cases[] = {
      {InstrumentModel::K7, Fault::kReadOnly, {"K7E.csv"}, ""},
      {InstrumentModel::K8, Fault::kReadOnly, {"K84E.csv"}, ""},
      {InstrumentModel::K7, Fault::kReadOnly, {"K7.tmp"}, ""},
      {InstrumentModel::K8, Fault::kReadOnly, {"RN4.tmp"}, ""},
      {InstrumentModel::K5, Fault::kReadOnly, {"K5C.tmp"}, ""},
      {InstrumentModel::K7, Fault::kFullDisk, {"K7.tmp"}, "File too large"},
      {InstrumentModel::K8, Fault::kFullDisk, {"RN4.tmp"}, "File too large"},
      {InstrumentModel::K8,
       Fault::kFolderGone,
       {"K84E.csv", "RN4.tmp"},
       "No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(ModelName(c.model)) + " " + c.failing.front());
    window = RecordingWindow();
    const std::string keepFolder = folder + "/kept-" + std::to_string(&c - cases);
    settings.keepFolder = c.fault == Fault::kFullDisk ? "" : keepFolder;
    settings.directory = c.fault == Fault::kFolderGone ? folder + "/gone" : folder;
    std::string expected;
    for (const char* copy : c.failing) {
      std::ofstream(FilePath(copy)) << "earlier copy";
      if (c.fault == Fault::kReadOnly) {
        ASSERT_EQ(::chmod(FilePath(copy).c_str(), 0444), 0);
      }
      if (!expected.empty()) expected += "; ";
      expected += "The copy " + std::string(copy) +
                  " was not written: " + (*c.reason ? c.reason : FilePath(copy) + " is read-only");
    }
    auto instrument = Attach(c.model);
    DownloadOutcome outcome;
    {
      // Room for the table and the parameter copy, not for an image.
      std::optional<FullDisk> full;
      if (c.fault == Fault::kFullDisk) full.emplace(77824);
      outcome = Download();
    }
    ASSERT_EQ(EndOf(outcome), "decoded") << StoppedOf(outcome).failure.message;
    EXPECT_EQ(DecodedOf(outcome)->copyErrors, expected);
    EXPECT_EQ(window.status, expected);
    for (const char* copy : c.failing) EXPECT_EQ(ReadFile(copy), "earlier copy") << copy;
    EXPECT_EQ(store->MemoryImage[0], ModelMarkerOf(c.model));  // the new image is taken
    EXPECT_TRUE(DecodedOf(outcome)->decode.foundRuns);
    if (!settings.keepFolder.empty()) {
      ASSERT_TRUE(DecodedOf(outcome)->kept && *DecodedOf(outcome)->kept)
          << DecodedOf(outcome)->copyErrors;
      EXPECT_EQ(DecodedOf(outcome)->kept->value().file.path.rfind(keepFolder + "/", 0), 0u);
    }
    EXPECT_TRUE(DownloadReachedTheDevice(outcome));
    for (const char* copy : c.failing) ::unlink(FilePath(copy).c_str());
    bus.Unplug(instrument->Serial());
  }
}

// The small replies carry no checksum: a whole reply that no instrument sends
// is refused like a short one, and nothing changes or is kept.
TEST_F(DownloadFaultTest, ImplausibleReplyChangesNothing) {
  const Bytes kNoise = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF,
                        0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};
  const std::string kText = "Another device!!!!";  // 18 bytes
  const struct {
    InstrumentModel model;
    int repliesBefore;  // first query, identify, memory, (K7: parameters)
    Bytes reply;
    const char* name;
  } cases[] = {
      {InstrumentModel::K5, 3, kNoise, "parameter"},
      {InstrumentModel::K6, 3, Bytes(kText.begin(), kText.end()), "parameter"},
      // The K7's words start at reply byte 1.
      {InstrumentModel::K7, 4, Bytes(8, 0x00), "coefficient"},
      {InstrumentModel::K7, 4, Bytes(8, 0xFF), "coefficient"},
      // All zero: 50 kPa whatever the sensor reads.
      {InstrumentModel::K8, 1, Bytes(8, 0x00), "coefficient"},
      {InstrumentModel::K8, 1, Bytes(8, 0xFF), "coefficient"},
      // A0 with the wrong sign: below zero kPa.
      {InstrumentModel::K8, 1, {0xC1, 0x32, 0xB3, 0xF9, 0xC5, 0x17, 0x33, 0xC8}, "coefficient"},
      // B1 and B2 zero: the reading no longer moves the pressure.
      {InstrumentModel::K8, 1, {0x3E, 0xCE, 0x00, 0x00, 0x00, 0x00, 0x33, 0xC8}, "coefficient"},
  };
  settings.keepFolder = folder + "/kept";
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(ModelName(c.model)) + " " + c.name);
    trace.clear();
    window = RecordingWindow();
    auto instrument = Attach(c.model);
    for (int i = 0; i < c.repliesBefore; ++i) instrument->AnswerAsUsual();
    instrument->AnswerWrong(c.reply);

    const DownloadOutcome outcome = Download();

    EXPECT_EQ(EndOf(outcome), "implausible");
    EXPECT_EQ(
        StoppedOf(outcome).failure.message,
        "The instrument's " + std::string(c.name) + " reply is not plausible; nothing was changed");
    EXPECT_EQ(DecodedOf(outcome), nullptr);
    EXPECT_FALSE(std::filesystem::exists(settings.keepFolder));
    ExpectNothingChanged(outcome);
    bus.Unplug(instrument->Serial());
  }
}

// Coefficients of another sensor than the generator's, within what the
// sensor's own data sheet allows, are taken.
TEST_F(DownloadFaultTest, OtherSensorsCoefficientsAreTaken) {
  // A0 2100, B1 -2.5, B2 -1.05, C12 0.00075.
  const Bytes coefficients = {0x41, 0xA0, 0xB0, 0x00, 0xBC, 0xCD, 0x31, 0x27};
  auto k8 = Attach(InstrumentModel::K8);
  k8->AnswerAsUsual();
  k8->AnswerWrong(coefficients);

  const DownloadOutcome outcome = Download();

  ASSERT_EQ(EndOf(outcome), "decoded") << StoppedOf(outcome).failure.message;
  EXPECT_EQ(Bytes(store->MemoryImage.begin() + 9, store->MemoryImage.begin() + 17), coefficients);
}

TEST_F(DownloadFaultTest, ShortCoefficientReplyIsAnIncompleteTransfer) {
  auto k8 = Attach(InstrumentModel::K8);
  // The memory reply as usual, then a coefficient reply that stops after 5 bytes.
  k8->AnswerWrong(Bytes(k8->State().memory.begin(), k8->State().memory.end()));
  k8->AnswerShort(5);

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(EndOf(outcome), "incomplete");
  EXPECT_EQ(StoppedOf(outcome).shortfall.received, 5u);
  EXPECT_EQ(StoppedOf(outcome).shortfall.requested, 8u);
  EXPECT_EQ(store->MemoryImage, before->MemoryImage);
  EXPECT_EQ(store->RunCount, before->RunCount);
  EXPECT_FALSE(FileExists("RN4.tmp"));
  EXPECT_TRUE(DownloadReachedTheDevice(outcome));
}

TEST_F(DownloadFaultTest, CancelledReadEndsAsCancelledNotAsACableFault) {
  Attach(InstrumentModel::K8);
  std::uint32_t seen = 0;
  window.transferProgress = [&seen](std::uint32_t received, std::uint32_t requested) {
    seen = received;
    return requested != 131072 || received < 20000;
  };

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(EndOf(outcome), "cancelled");
  EXPECT_EQ(StoppedOf(outcome).failure.message, kDownloadCancelledText);
  EXPECT_TRUE(FTReceiveMayBeBusy());
  EXPECT_GE(seen, 20000u);
  EXPECT_EQ(StoppedOf(outcome).shortfall.received, seen);
  ExpectNothingChanged(outcome);
  // Nothing more is asked of the instrument after the cancel.
  EXPECT_EQ(trace[trace.size() - 2], "read 131072 -> " + std::to_string(seen));
}

}  // namespace
}  // namespace kestrum::testing
