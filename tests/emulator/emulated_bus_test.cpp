// SPDX-License-Identifier: GPL-3.0-or-later
// The emulated bus under the port module: line timing, the converter's
// behaviour (open, purge, line settings), the read timeout and the faults.

#include <gtest/gtest.h>

#include "emulator/bus_fixture.h"

namespace kestrum::testing {
namespace {

// One byte at 9,600 baud takes 10 / 9600 s = 1.0417 ms; at 230,400 baud 43.4 us.
constexpr double kByteMs9600 = 10.0 / 9600 * 1000;
constexpr double kByteMs230400 = 10.0 / 230400 * 1000;

TEST_F(BusTest, K5IdentifyRepliesAfterTheLineTimeOfCommandAndAnswer) {
  Plug(InstrumentModel::K5, "K5A", "USB <-> K5");
  ASSERT_EQ(Open_USB_Device_By_Serial_Number("K5A"), FT_OK);
  Write({0xF3, 0x3F});
  // Nothing can be back before four byte times.
  EXPECT_EQ(ReadFTDevice(0), 0u);
  WaitMilliseconds(25);
  EXPECT_EQ(ReadFTDevice(2), 2u);
  EXPECT_EQ(Received(2), (Bytes{0x03, 0x01}));
  EXPECT_NEAR(NowMs(), 25.0, 1e-6);  // the read found both bytes waiting

  const WireLog& log = bus.Log();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].direction, WireDirection::kToInstrument);
  EXPECT_EQ(log[0].time_ns, 0);
  EXPECT_EQ(log[0].transfer, log[1].transfer);
  EXPECT_EQ(log[2].direction, WireDirection::kToHost);
  EXPECT_NEAR(log[2].time_ns / 1e6, 3 * kByteMs9600, 1e-3);
  EXPECT_NEAR(log[3].time_ns / 1e6, 4 * kByteMs9600, 1e-3);
  EXPECT_NE(log[3].transfer, log[0].transfer);
}

TEST_F(BusTest, K8MemoryTakesItsLineTimeAt230400Baud) {
  auto k8 = Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  Open_USB_Device_By_Serial_Number("K8A");
  K8LineSetup();
  Write({0xA3, 0x4D, 0x0A});
  EXPECT_EQ(ReadFTDevice(131072), 131072u);
  EXPECT_EQ(Received(131072), k8->State().memory);
  EXPECT_NEAR(NowMs(), (3 + 131072) * kByteMs230400, 0.01);  // about 5.69 s
  EXPECT_EQ(bus.BytesRead().size(), 131072u);
}

TEST_F(BusTest, K5DumpAtThePowerOnRateTakes17Seconds) {
  Plug(InstrumentModel::K5, "K5A", "USB <-> K5");
  Open_USB_Device_By_Serial_Number("K5A");
  Write({0x04, 0x0D});
  WaitMilliseconds(25);
  EXPECT_EQ(ReadFTDevice(16383), 16383u);
  EXPECT_NEAR(NowMs() / 1000, (2 + 16383) * kByteMs9600 / 1000, 1e-4);
}

TEST_F(BusTest, K8WithoutLineSetupHearsOnlyGarbleAndTheReadGivesUpAfterTwoSilentSeconds) {
  Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  Open_USB_Device_By_Serial_Number("K8A");
  Write({0xA3, 0x50, 0x0A});
  EXPECT_EQ(ReadFTDevice(8), 0u);
  EXPECT_NEAR(NowMs(), 2000.0, 1e-6);
  EXPECT_EQ(bus.LineSettingsOf("K8A")->baud, 9600u);
}

TEST_F(BusTest, K8DoesNotAnswerTheIdentifyExchange) {
  Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  Open_USB_Device_By_Serial_Number("K8A");
  K8LineSetup();
  Write({0xF3, 0x3F});
  WaitMilliseconds(25);
  FTInBuffer[0] = 0xAA;
  FTInBuffer[1] = 0xBB;
  EXPECT_EQ(ReadFTDevice(2), 0u);
  EXPECT_EQ(Received(2), (Bytes{0xAA, 0xBB}));
}

TEST_F(BusTest, ShortAnswerReturnsWhatCameAfterTwoSilentSeconds) {
  auto k8 = Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  k8->AnswerShort(5);
  Open_USB_Device_By_Serial_Number("K8A");
  K8LineSetup();
  Write({0xA3, 0x50, 0x0A});
  const double sent_ms = NowMs();
  EXPECT_EQ(ReadFTDevice(8), 5u);
  // The fifth byte arrived after 3 + 5 byte times; silence is counted from there.
  EXPECT_NEAR(NowMs() - sent_ms, 8 * kByteMs230400 + 2000.0, 1e-3);
}

TEST_F(BusTest, UnplugMidTransferEndsTheReadWithWhatArrived) {
  auto k8 = Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  k8->UnplugAfterSending(1000);
  StartTraceInto(trace_);
  Open_USB_Device_By_Serial_Number("K8A");
  K8LineSetup();
  Write({0xA3, 0x4D, 0x0A});
  EXPECT_EQ(ReadFTDevice(131072), 1000u);
  EXPECT_EQ(Received(1000), Bytes(k8->State().memory.begin(), k8->State().memory.begin() + 1000));
  // Gone at once, not after a timeout.
  EXPECT_NEAR(NowMs(), 1003 * kByteMs230400, 0.01);
  EXPECT_FALSE(bus.IsPlugged("K8A"));
  EXPECT_EQ(PurgeFTReceive(), FT_IO_ERROR);
  EXPECT_EQ(Write({0xA3, 0x50, 0x0A}), 0u);
  EXPECT_EQ(CloseFTDevice(), FT_OK);
  EXPECT_EQ(trace_.at(5), "read 131072 -> 1000");

  GetFTDeviceCount();
  EXPECT_EQ(FTDeviceCount, 0u);
  bus.Plug(k8);
  EXPECT_EQ(Open_USB_Device_By_Serial_Number("K8A"), FT_OK);
}

TEST_F(BusTest, UnplugAtAMomentCutsTheTransferThere) {
  Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  Open_USB_Device_By_Serial_Number("K8A");
  K8LineSetup();
  bus.UnplugAt("K8A", 1000 * kNsPerMs);
  Write({0xA3, 0x4D, 0x0A});
  const std::uint32_t got = ReadFTDevice(131072);
  // Reply byte k arrives after 3 + k byte times; 23,040 byte times are exactly
  // 1 s, so byte 23,037 would arrive as the plug comes out: 23,036 made it.
  EXPECT_EQ(got, 23036u);
  EXPECT_NEAR(NowMs(), 1000.0, 1e-3);
}

TEST_F(BusTest, PurgeDropsWhatArrivedButNotWhatIsStillOnTheLine) {
  Plug(InstrumentModel::K5, "K5A", "USB <-> K5");
  Open_USB_Device_By_Serial_Number("K5A");
  // The first query of the download: one byte read, the other purged.
  Write({0xF3, 0x3F});
  WaitMilliseconds(25);
  EXPECT_EQ(ReadFTDevice(1), 1u);
  WaitMilliseconds(25);
  EXPECT_EQ(PurgeFTReceive(), FT_OK);
  Write({0xF3, 0x3F});
  WaitMilliseconds(25);
  EXPECT_EQ(ReadFTDevice(2), 2u);
  EXPECT_EQ(Received(2), (Bytes{0x03, 0x01}));

  // Purged at once, the reply still on its way is read later.
  Write({0xF3, 0x3F});
  WaitMilliseconds(3);  // the answer's first byte is due at 3.1 ms
  PurgeFTReceive();
  WaitMilliseconds(25);
  EXPECT_EQ(ReadFTDevice(2), 2u);
  EXPECT_EQ(Received(2), (Bytes{0x03, 0x01}));
}

TEST_F(BusTest, TransmitPurgeStopsBytesNotYetSent) {
  auto k7 = Plug(InstrumentModel::K7, "K7A", "USB <-> K5");
  const std::uint8_t level_before = k7->State().TriggerLevel();
  Open_USB_Device_By_Serial_Number("K7A");
  Write({'W', 0x00, 0x04, 0x21});
  PurgeFTTransmit();
  CloseFTDevice();
  EXPECT_EQ(k7->State().TriggerLevel(), level_before);
}

TEST_F(BusTest, BytesInFlightAtCloseStillReachTheInstrument) {
  auto k7 = Plug(InstrumentModel::K7, "K7A", "USB <-> K5");
  Open_USB_Device_By_Serial_Number("K7A");
  Write({'W', 0x00, 0x04, 0x21});
  CloseFTDevice();
  EXPECT_EQ(k7->State().TriggerLevel(), 0x21);
  EXPECT_NEAR(NowMs(), 0.0, 1e-9);
}

TEST_F(BusTest, OpenResetsTheLineAndRefusesASecondOpen) {
  Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  ASSERT_EQ(Open_USB_Device_By_Serial_Number("K8A"), FT_OK);
  K8LineSetup();
  const LineSettings set = *bus.LineSettingsOf("K8A");
  EXPECT_EQ(set.baud, 230400u);
  EXPECT_EQ(set.word_length, 8);
  const FtHandle first = FTHandle;
  EXPECT_EQ(Open_USB_Device_By_Serial_Number("K8A"), FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(FTHandle, first);
  CloseFTDevice();
  EXPECT_EQ(CloseFTDevice(), FT_INVALID_HANDLE);
  ASSERT_EQ(Open_USB_Device_By_Serial_Number("K8A"), FT_OK);
  EXPECT_EQ(bus.LineSettingsOf("K8A")->baud, 9600u);
  EXPECT_EQ(Open_USB_Device_By_Serial_Number("NOSUCH"), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(Open_USB_Device_By_Serial_Number(""), FT_DEVICE_NOT_FOUND);
}

TEST_F(BusTest, InvalidLineSettingsAreRefused) {
  Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  Open_USB_Device_By_Serial_Number("K8A");
  FTBaudRate = 0;
  EXPECT_EQ(SetFTBaudRate(), FT_INVALID_BAUD_RATE);
  FTWordLength = 0;  // the start-up value: never set by the program
  EXPECT_EQ(SetFTDataCharacteristics(), FT_INVALID_PARAMETER);
  FTFlowControl = 0x0300;
  EXPECT_EQ(SetFTFlowControl(), FT_INVALID_PARAMETER);
}

TEST_F(BusTest, ProgressIsReportedDuringOneReadAndCancelStopsIt) {
  Plug(InstrumentModel::K8, "K8A", "USB <-> K8");
  Open_USB_Device_By_Serial_Number("K8A");
  K8LineSetup();
  std::vector<std::uint32_t> seen;
  std::uint32_t requested_seen = 0;
  SetReadProgressHook([&](std::uint32_t received, std::uint32_t requested) {
    seen.push_back(received);
    requested_seen = requested;
    return true;
  });
  Write({0xA3, 0x4D, 0x0A});
  ReadFTDevice(131072);
  ASSERT_GE(seen.size(), 32u);  // 131,072 bytes in steps of at most 4,096
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), 131072u);
  EXPECT_EQ(requested_seen, 131072u);

  SetReadProgressHook([](std::uint32_t received, std::uint32_t) { return received < 8192; });
  const double start = NowMs();
  Write({0xA3, 0x4D, 0x0A});
  const std::uint32_t got = ReadFTDevice(131072);
  EXPECT_GE(got, 8192u);
  EXPECT_LE(got, 8192u + 4096u);
  EXPECT_LT(NowMs() - start, 1000.0);
}

TEST_F(BusTest, ListingFollowsThePlugOrderAndUnreadableConvertersRaiseTheFlag) {
  Plug(InstrumentModel::K5, "S1", "FT232R USB UART");
  Plug(InstrumentModel::K8, "S2", "USB <-> K8");
  GetFTDeviceCount();
  EXPECT_EQ(FTDeviceCount, 2u);
  GetFTDeviceDescription(1);
  EXPECT_EQ(FTDeviceString, "USB <-> K8");
  GetFTDeviceSerialNo(0);
  EXPECT_EQ(FTDeviceString, "S1");
  EXPECT_EQ(GetFTDeviceDescription(2), FT_DEVICE_NOT_FOUND);

  bus.SetUnreadable("S2", true);
  GetFTDeviceCount();
  EXPECT_FALSE(FTListingAccessDenied());
  EXPECT_EQ(GetFTDeviceDescription(1), FT_DEVICE_NOT_OPENED);
  EXPECT_TRUE(FTListingAccessDenied());
  bus.SetListingFails(true);
  EXPECT_EQ(GetFTDeviceCount(), FT_IO_ERROR);
}

TEST_F(BusTest, EraseAcknowledgementComesAfterTheInstrumentIsDone) {
  auto k7 = Plug(InstrumentModel::K7, "K7A", "USB <-> K5");
  k7->State().erase_duration_ms = 3000;
  Open_USB_Device_By_Serial_Number("K7A");
  Write({'E'});
  WaitMilliseconds(2000);
  FTInBuffer[0] = 0;
  EXPECT_EQ(ReadFTDevice(1), 1u);  // the read waits for it
  EXPECT_EQ(FTInBuffer[0], 'e');
  EXPECT_NEAR(NowMs(), 3000.0 + 2 * kByteMs9600, 1e-3);
  EXPECT_EQ(k7->State().WritePointer(), 0x020000u);
}

}  // namespace
}  // namespace kestrum::testing
