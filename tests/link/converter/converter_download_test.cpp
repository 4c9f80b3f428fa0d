// SPDX-License-Identifier: GPL-3.0-or-later
// Downloads through the real libftdi1 and our driver over a simulated FTDI
// chip whose receive FIFO overflows when nobody fetches: a busy window must
// not cost a byte, and what does go wrong is reported as such.

#include <ftdi.h>
#include <gtest/gtest.h>

#include <chrono>

#include "commands/clock_sync.h"
#include "commands/command_cycle.h"
#include "commands/measurement_download.h"
#include "commands/parameter_block.h"
#include "converter_fixture.h"
#include "download_ends.h"
#include "emulator/emulated_bus.h"
#include "records/date_time.h"

namespace kestrum::testing {
namespace {

constexpr DateTime kLongAfter = 47000;

class ConverterDownloadTest : public ConverterTest {
 protected:
  struct Result {
    DownloadOutcome outcome;
    Bytes image;
    std::vector<std::uint8_t> parameters;
  };

  Result Download() {
    auto store = std::make_unique<MeasurementStore>();
    DownloadSettings settings;
    settings.directory = folder;
    settings.decode.now = kLongAfter;
    settings.decode.outputDirectory = folder;
    Result result;
    result.outcome = DownloadMeasurements(*store, settings, window);
    result.image.assign(store->MemoryImage.begin(), store->MemoryImage.end());
    result.parameters.assign(ParameterBlock.begin(), ParameterBlock.begin() + 10);
    return result;
  }

  // The same download over the emulated bus, whose transport cannot lose a byte.
  Result Reference(const EmulatedInstrumentConfig& config) {
    EmulatedBus bus(TimeMode::kInstant);
    bus.Plug(std::make_shared<EmulatedInstrument>(config));
    SetFtDriver(&bus);
    SetSleeper(bus.MakeSleeper());
    ParameterBlock.fill(0);
    Result result = Download();
    SetFtDriver(driver.get());
    SetSleeper([](int milliseconds) { Sim().Sleep(milliseconds); });
    ParameterBlock.fill(0);
    return result;
  }

  // Repainting the status bar between the command and the first read costs
  // the window 40 ms.
  class SlowWindow : public RecordingWindow {
   public:
    void RepaintStatusBar() override { Sim().Sleep(40); }
  };
  SlowWindow window;
};

struct BusyCase {
  const char* name;
  InstrumentModel model;
  usbsim::ChipKind chip;
};

class BusyWindowTest : public ConverterDownloadTest,
                       public ::testing::WithParamInterface<BusyCase> {};

TEST_P(BusyWindowTest, AWholeDownloadArrivesCompleteWhileTheWindowWorksAndDetects) {
  const EmulatedInstrumentConfig config = Config(GetParam().model);
  usbsim::SimulatedDevice& device = Plug(config, GetParam().chip);
  const Result expected = Reference(config);
  ASSERT_EQ(EndOf(expected.outcome), "decoded");

  // Each progress step costs the window 15 ms; every tenth one runs a
  // detection tick, as Timer2 would inside the box's event loop. Detection
  // must not go to the bus meanwhile (a string request would cost 3 ms).
  // How many steps there are depends on the threads' timing; the ring
  // holds whatever comes while the window is busy.
  Sim().SetControlCostMs(3);
  DetectionRecorder detection;
  int steps = 0;
  int strings_during_read = -1;
  window.transferProgress = [&](std::uint32_t, std::uint32_t requested) {
    if (requested < 1000) return true;
    const int before = Sim().StringRequests();
    Sim().Sleep(15);
    if (++steps % 10 == 0) DetectInstrument(detection);
    strings_during_read = std::max(strings_during_read, Sim().StringRequests() - before);
    return true;
  };

  DetectInstrument(detection);  // as the window did at its creation
  const Result got = Download();

  ASSERT_EQ(EndOf(got.outcome), "decoded") << StoppedOf(got.outcome).failure.message;
  EXPECT_TRUE(SameBytes(got.image, expected.image));
  EXPECT_EQ(got.parameters, expected.parameters);
  EXPECT_EQ(DecodedOf(got.outcome)->decode.itemTexts,
            DecodedOf(expected.outcome)->decode.itemTexts);
  EXPECT_EQ(Sim().BytesDropped(device), 0u);
  EXPECT_GT(steps, 0);
  EXPECT_EQ(strings_during_read, 0);
  EXPECT_EQ(detection.panel0, kAttachedText);
}

INSTANTIATE_TEST_SUITE_P(
    Converters, BusyWindowTest,
    ::testing::Values(BusyCase{"K8onFT232R", InstrumentModel::K8, usbsim::kFT232R},
                      BusyCase{"K7onFT232R", InstrumentModel::K7, usbsim::kFT232R},
                      BusyCase{"K8onFT230X", InstrumentModel::K8, usbsim::kFT230X}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConverterDownloadTest, AnOverrunIsReportedAsLostBytesAndChangesNothing) {
  usbsim::SimulatedDevice& device = Plug(Config(InstrumentModel::K8));
  bool forced = false;
  window.transferProgress = [&](std::uint32_t received, std::uint32_t) {
    if (!forced && received > 30000) Sim().ForceOverrun(device);
    forced = forced || received > 30000;
    return true;
  };

  const Result got = Download();

  EXPECT_EQ(EndOf(got.outcome), "incomplete");
  EXPECT_NE(StoppedOf(got.outcome).failure.message.find("bytes were lost on the line"),
            std::string::npos)
      << StoppedOf(got.outcome).failure.message;
  EXPECT_TRUE(std::all_of(got.image.begin(), got.image.end(), [](auto b) { return b == 0; }));
  EXPECT_NE(std::find_if(trace.begin(), trace.end(),
                         [](const std::string& line) {
                           return line.find("(bytes lost on the line)") != std::string::npos;
                         }),
            trace.end());
  EXPECT_TRUE(FTReceiveMayBeBusy());
}

TEST_F(ConverterDownloadTest, AK7CancelledAfterTenSecondsLeavesAClockSyncThatWorks) {
  const EmulatedInstrumentConfig config = Config(InstrumentModel::K7);
  usbsim::SimulatedDevice& device = Plug(config);
  std::int64_t started = -1;
  window.transferProgress = [&](std::uint32_t, std::uint32_t requested) {
    if (requested < 1000) return true;
    if (started < 0) started = Sim().NowNs();
    return Sim().NowNs() - started < 10'000 * usbsim::kNsPerMs;
  };

  EXPECT_EQ(EndOf(Download().outcome), "cancelled");
  window.transferProgress = {};

  const ClockOutcome clock =
      SynchronizeClock([] { return EncodeDate(2026, 12, 8) + EncodeTime(14, 30, 9, 0); }, window);
  EXPECT_EQ(clock.end, ClockEnd::kSent);
  EXPECT_EQ(clock.modelCode, kModelCodeK7);
  EXPECT_EQ(device.chip.Instrument().State().clock_registers[4], 0x14);
  EXPECT_FALSE(FTReceiveMayBeBusy());
}

TEST_F(ConverterDownloadTest, UnplugMidReadEndsAtOnceWithTheByteCount) {
  usbsim::SimulatedDevice& device = Plug(Config(InstrumentModel::K8));
  device.unplug_after_host_bytes = 50000;
  ASSERT_EQ(Open_USB_Device_By_Serial_Number(SelectedInstrument.SerialNo), FT_OK);
  FTBaudRate = 230400;
  SetFTBaudRate();
  FTOutBuffer[0] = 0xA3;
  FTOutBuffer[1] = 0x4D;
  FTOutBuffer[2] = 0x0A;
  ASSERT_EQ(WriteFTDevice(3), 3u);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadFTDevice(131072), 50000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(LastReadEnd(), ReadEnd::kDeviceGone);
  CloseFTDevice();
  EXPECT_EQ(Sim().Resources().open_handles, 0);
}

// The simulated chip itself: a reader that only fetches between pieces of
// window work, as libftdi's own synchronous read does, loses bytes.
TEST_F(ConverterDownloadTest, AReaderThatStopsBetweenStepsLosesBytes) {
  usbsim::SimulatedDevice& device = Plug(Config(InstrumentModel::K8));
  driver.reset();
  SetFtDriver(nullptr);
  ftdi_context* context = ftdi_new();
  ASSERT_EQ(
      ftdi_usb_open_desc(context, 0x0403, 0x6001, nullptr, SelectedInstrument.SerialNo.c_str()), 0);
  ftdi_set_latency_timer(context, 2);
  ftdi_set_baudrate(context, 230400);
  unsigned char command[] = {0xA3, 0x4D, 0x0A};
  ASSERT_EQ(ftdi_write_data(context, command, 3), 3);
  std::vector<unsigned char> buffer(4096);
  int total = 0;
  for (int silent = 0; total < 131072 && silent < 200;) {
    const int n = ftdi_read_data(context, buffer.data(), static_cast<int>(buffer.size()));
    ASSERT_GE(n, 0);
    total += n;
    silent = n == 0 ? silent + 1 : 0;
    if (n > 0) Sim().Sleep(15);
  }
  EXPECT_GT(Sim().BytesDropped(device), 0u);
  EXPECT_LT(total, 131072);
  ftdi_usb_close(context);
  ftdi_free(context);
}

}  // namespace
}  // namespace kestrum::testing
