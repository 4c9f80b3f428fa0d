#include <gtest/gtest.h>

#include <fstream>

#include "command_fixture.h"
#include "commands/measurement_download.h"
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

  void ExpectNothingChanged() {
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
    EXPECT_FALSE(window.levelShown);
    EXPECT_TRUE(window.downloadEnabled);
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

    EXPECT_EQ(outcome.end, DownloadEnd::kIncomplete);
    EXPECT_EQ(outcome.received, 5000u);
    EXPECT_EQ(outcome.requested, c.memoryReply);
    EXPECT_NE(outcome.error.find("5000 of " + std::to_string(c.memoryReply) + " bytes arrived"),
              std::string::npos)
        << outcome.error;
    EXPECT_FALSE(outcome.decode.has_value());
    ExpectNothingChanged();
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

    EXPECT_EQ(outcome.end, DownloadEnd::kIncomplete);
    EXPECT_EQ(outcome.received, 0u);
    // K5-K7: the identify answer never comes (the first query waited too).
    EXPECT_EQ(outcome.requested, c.model == InstrumentModel::K8 ? 131072u : 2u);
    ExpectNothingChanged();
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

    EXPECT_EQ(outcome.end, DownloadEnd::kIncomplete);
    EXPECT_EQ(outcome.received, 3u);
    EXPECT_EQ(outcome.requested, c.requested);
    ExpectNothingChanged();
    bus.Unplug(instrument->Serial());
  }
}

// A full disk: the copy that does not fit is reported in the status text,
// its earlier version stays whole, and the download itself counts.
TEST_F(DownloadFaultTest, CopyThatCannotBeWrittenIsReportedAndTheDownloadCounts) {
  const struct {
    InstrumentModel model;
    const char* copy;
  } cases[] = {{InstrumentModel::K7, "K7.tmp"}, {InstrumentModel::K8, "RN4.tmp"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(ModelName(c.model));
    window = RecordingWindow();
    std::ofstream(FilePath(c.copy)) << "earlier copy";
    auto instrument = Attach(c.model);
    DownloadOutcome outcome;
    {
      FullDisk full(77824);
      outcome = Download();
    }
    EXPECT_EQ(outcome.end, DownloadEnd::kDecoded);
    EXPECT_EQ(outcome.copyErrors,
              "The copy " + std::string(c.copy) + " was not written: File too large");
    EXPECT_EQ(window.status, outcome.copyErrors);
    EXPECT_EQ(ReadFile(c.copy), "earlier copy");
    EXPECT_EQ(store->MemoryImage[0], ModelMarkerOf(c.model));  // the new image is taken
    EXPECT_TRUE(outcome.decode && outcome.decode->foundRuns);
    EXPECT_TRUE(window.downloadEnabled);
    bus.Unplug(instrument->Serial());
  }
}

TEST_F(DownloadFaultTest, ShortCoefficientReplyIsAnIncompleteTransfer) {
  auto k8 = Attach(InstrumentModel::K8);
  // The memory reply as usual, then a coefficient reply that stops after 5 bytes.
  k8->AnswerWrong(Bytes(k8->State().memory.begin(), k8->State().memory.end()));
  k8->AnswerShort(5);

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(outcome.end, DownloadEnd::kIncomplete);
  EXPECT_EQ(outcome.received, 5u);
  EXPECT_EQ(outcome.requested, 8u);
  EXPECT_EQ(store->MemoryImage, before->MemoryImage);
  EXPECT_EQ(store->RunCount, before->RunCount);
  EXPECT_FALSE(FileExists("RN4.tmp"));
  EXPECT_TRUE(window.downloadEnabled);
}

TEST_F(DownloadFaultTest, CancelledReadEndsAsCancelledNotAsACableFault) {
  Attach(InstrumentModel::K8);
  std::uint32_t seen = 0;
  SetReadProgressHook([&seen](std::uint32_t received, std::uint32_t requested) {
    seen = received;
    return requested != 131072 || received < 20000;
  });

  const DownloadOutcome outcome = Download();

  EXPECT_EQ(outcome.end, DownloadEnd::kCancelled);
  EXPECT_EQ(outcome.error, kDownloadCancelledText);
  EXPECT_TRUE(FTReceiveMayBeBusy());
  EXPECT_GE(seen, 20000u);
  EXPECT_EQ(outcome.received, seen);
  ExpectNothingChanged();
  // Nothing more is asked of the instrument after the cancel.
  EXPECT_EQ(trace[trace.size() - 2], "read 131072 -> " + std::to_string(seen));
}

}  // namespace
}  // namespace kestrum::testing
