// SPDX-License-Identifier: GPL-3.0-or-later
// The port module against a scripted driver: what it passes down, what it
// makes of the answers, and what it leaves in its state.

#include <gtest/gtest.h>

#include <cstring>

#include "link/port_fixture.h"

namespace kestrum::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST_F(PortTest, ShortReadLeavesEarlierBytesBeyondWhatArrived) {
  driver.reads.push_back({{1, 2, 3, 4, 5, 6, 7, 8}});
  driver.reads.push_back({{0xA1, 0xA2, 0xA3, 0xA4, 0xA5}});
  EXPECT_EQ(ReadFTDevice(8), 8u);
  EXPECT_EQ(ReadFTDevice(8), 5u);
  EXPECT_EQ(Bytes(FTInBuffer.begin(), FTInBuffer.begin() + 9),
            (Bytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 6, 7, 8, 0}));
}

TEST_F(PortTest, ReadReturnsTheCountEvenWhenTheDriverFails) {
  driver.reads.push_back({{9, 9, 9}, FT_IO_ERROR});
  EXPECT_EQ(ReadFTDevice(131072), 3u);
  EXPECT_EQ(driver.read_counts, (std::vector<std::uint32_t>{131072}));
}

TEST_F(PortTest, OpenCutsA60CharacterSerialTo49) {
  const std::string serial60(60, 'S');
  const std::string serial = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwx";
  ASSERT_EQ(serial.size(), 60u);
  EXPECT_EQ(Open_USB_Device_By_Serial_Number(serial), FT_OK);
  ASSERT_EQ(driver.opened_serials.size(), 1u);
  EXPECT_EQ(driver.opened_serials[0], serial.substr(0, 49));
  EXPECT_EQ(std::strlen(FTSerialNumber), 49u);
  EXPECT_EQ(FTHandle, 77u);
}

TEST_F(PortTest, OpenKeepsA49CharacterSerialWhole) {
  const std::string serial(49, 'Q');
  Open_USB_Device_By_Serial_Number(serial);
  EXPECT_EQ(driver.opened_serials.at(0), serial);
}

TEST_F(PortTest, EmptySerialIsPassedAsEmptyTextAndItsStatusReturned) {
  Open_USB_Device_By_Serial_Number("LONGSERIAL12");
  driver.status = FT_DEVICE_NOT_FOUND;
  EXPECT_EQ(Open_USB_Device_By_Serial_Number(""), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(driver.opened_serials.at(1), "");
  EXPECT_EQ(FTSerialNumber[0], '\0');
  // The failed open left the earlier handle alone.
  EXPECT_EQ(FTHandle, 77u);
}

TEST_F(PortTest, FailedListingLeavesThePreviousTextEvenASerialNumber) {
  driver.serials = {std::string("FT5K8A01\0", 9)};
  ASSERT_EQ(GetFTDeviceSerialNo(0), FT_OK);
  EXPECT_EQ(FTDeviceString, "FT5K8A01");
  driver.description_status = FT_IO_ERROR;
  EXPECT_EQ(GetFTDeviceDescription(0), FT_IO_ERROR);
  EXPECT_EQ(FTDeviceString, "FT5K8A01");
  // An index the driver does not know fails the same way.
  driver.description_status = FT_OK;
  EXPECT_EQ(GetFTDeviceDescription(3), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(FTDeviceString, "FT5K8A01");
}

TEST_F(PortTest, DescriptionOf64BytesWithoutNulBecomesA64CharacterText) {
  const std::string full(64, 'D');
  driver.descriptions = {full};
  ASSERT_EQ(GetFTDeviceDescription(0), FT_OK);
  EXPECT_EQ(FTDeviceString, full);
}

TEST_F(PortTest, SerialWithNulAtByte8GivesAn8CharacterText) {
  driver.serials = {std::string("ABCDEFGH\0XYZUVWQ", 17)};
  ASSERT_EQ(GetFTDeviceSerialNo(0), FT_OK);
  EXPECT_EQ(FTDeviceString, "ABCDEFGH");
  // A 16-byte serial without NUL is taken whole and no further.
  driver.serials = {std::string("0123456789ABCDEF")};
  ASSERT_EQ(GetFTDeviceSerialNo(0), FT_OK);
  EXPECT_EQ(FTDeviceString, "0123456789ABCDEF");
}

TEST_F(PortTest, DeviceCountIsWrittenOnlyOnSuccess) {
  driver.count_value = 3;
  EXPECT_EQ(GetFTDeviceCount(), FT_OK);
  EXPECT_EQ(FTDeviceCount, 3u);
  driver.count_status = FT_IO_ERROR;
  driver.count_value = 0;
  EXPECT_EQ(GetFTDeviceCount(), FT_IO_ERROR);
  EXPECT_EQ(FTDeviceCount, 3u);
}

TEST_F(PortTest, LineSettingsAndHandleAreHandedDownAndStatusesPassedBack) {
  Open_USB_Device_By_Serial_Number("K8SERIAL");
  FTParity = 0;
  FTStopBits = 0;
  FTWordLength = 8;
  FTFlowControl = 0;
  FTBaudRate = 230400;
  driver.status = FT_INVALID_BAUD_RATE;
  EXPECT_EQ(SetFTBaudRate(), FT_INVALID_BAUD_RATE);
  driver.status = FT_INVALID_PARAMETER;
  EXPECT_EQ(SetFTDataCharacteristics(), FT_INVALID_PARAMETER);
  driver.status = FT_IO_ERROR;
  EXPECT_EQ(SetFTFlowControl(), FT_IO_ERROR);
  driver.status = FT_INVALID_HANDLE;
  EXPECT_EQ(PurgeFTReceive(), FT_INVALID_HANDLE);
  driver.status = 17;
  EXPECT_EQ(PurgeFTTransmit(), 17u);
  EXPECT_EQ(driver.bauds, (std::vector<std::uint32_t>{230400}));
  EXPECT_EQ(driver.data_settings, (std::vector<std::vector<int>>{{8, 0, 0}}));
  EXPECT_EQ(driver.flow_settings, (std::vector<std::vector<int>>{{0, 0x11, 0x13}}));
  EXPECT_EQ(driver.purges, (std::vector<std::uint32_t>{FT_PURGE_RX, FT_PURGE_TX}));
  for (FtHandle handle : driver.handles_used) EXPECT_EQ(handle, 77u);
}

TEST_F(PortTest, CloseWithNothingOpenReturnsTheDriversStatusAndChangesNothing) {
  driver.status = FT_INVALID_HANDLE;
  EXPECT_EQ(CloseFTDevice(), FT_INVALID_HANDLE);
  EXPECT_EQ(driver.handles_used, (std::vector<FtHandle>{0}));
  EXPECT_EQ(FTHandle, 0u);
  // A close after an open keeps the old handle value.
  driver.status = FT_OK;
  Open_USB_Device_By_Serial_Number("A");
  EXPECT_EQ(CloseFTDevice(), FT_OK);
  EXPECT_EQ(FTHandle, 77u);
}

TEST_F(PortTest, WriteSendsTheFirstBytesOfTheTransmitBufferAndReturnsTheDriversCount) {
  FTOutBuffer[0] = 0xA3;
  FTOutBuffer[1] = 0x4D;
  FTOutBuffer[2] = 0x0A;
  FTOutBuffer[3] = 0xEE;
  driver.write_limit = 2;
  EXPECT_EQ(WriteFTDevice(3), 2u);
  EXPECT_EQ(driver.writes.at(0), (Bytes{0xA3, 0x4D, 0x0A}));
}

TEST_F(PortTest, CountsBeyondTheBuffersAreCutToTheirSize) {
  driver.reads.push_back({Bytes(kFTBufferSize + 10, 0x55)});
  EXPECT_EQ(ReadFTDevice(kFTBufferSize + 10), kFTBufferSize);
  EXPECT_EQ(driver.read_counts.at(0), kFTBufferSize);
  WriteFTDevice(kFTBufferSize + 1);
  EXPECT_EQ(driver.writes.at(0).size(), kFTBufferSize);
}

TEST_F(PortTest, WithoutADriverEveryOperationFailsQuietly) {
  SetFtDriver(nullptr);
  FTDeviceString = "kept";
  FTDeviceCount = 2;
  EXPECT_EQ(GetFTDeviceCount(), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(GetFTDeviceDescription(0), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(GetFTDeviceSerialNo(0), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(Open_USB_Device_By_Serial_Number("X"), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(CloseFTDevice(), FT_INVALID_HANDLE);
  EXPECT_EQ(SetFTBaudRate(), FT_INVALID_HANDLE);
  EXPECT_EQ(PurgeFTReceive(), FT_INVALID_HANDLE);
  EXPECT_EQ(ReadFTDevice(8), 0u);
  EXPECT_EQ(WriteFTDevice(2), 0u);
  EXPECT_EQ(FTDeviceString, "kept");
  EXPECT_EQ(FTDeviceCount, 2u);
  EXPECT_FALSE(FTListingAccessDenied());
}

TEST_F(PortTest, ProgressHookSeesEachChunkAndCanCancelTheRead) {
  driver.progress_chunk = 4096;
  driver.reads.push_back({Bytes(10000, 1)});
  std::vector<std::pair<std::uint32_t, std::uint32_t>> seen;
  SetReadProgressHook([&seen](std::uint32_t received, std::uint32_t requested) {
    seen.emplace_back(received, requested);
    return true;
  });
  EXPECT_EQ(ReadFTDevice(10000), 10000u);
  EXPECT_EQ(seen, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                      {4096, 10000}, {8192, 10000}, {10000, 10000}}));

  seen.clear();
  driver.reads.push_back({Bytes(10000, 2)});
  SetReadProgressHook([&seen](std::uint32_t received, std::uint32_t requested) {
    seen.emplace_back(received, requested);
    return false;
  });
  EXPECT_EQ(ReadFTDevice(10000), 4096u);
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(PortTest, TraceWritesOneLinePerCallButNoneForListing) {
  StartTrace();
  driver.count_value = 1;
  driver.descriptions = {std::string("USB <-> K8\0", 11)};
  GetFTDeviceCount();
  GetFTDeviceDescription(0);
  GetFTDeviceSerialNo(0);
  EXPECT_TRUE(trace.empty());

  Open_USB_Device_By_Serial_Number("FT5K8A01");
  FTWordLength = 8;
  SetFTDataCharacteristics();
  SetFTFlowControl();
  FTBaudRate = 230400;
  SetFTBaudRate();
  FTOutBuffer[0] = 0xA3;
  FTOutBuffer[1] = 0x4D;
  FTOutBuffer[2] = 0x0A;
  WriteFTDevice(3);
  driver.reads.push_back({{1, 2, 3, 4, 5}});
  ReadFTDevice(8);
  PurgeFTReceive();
  PurgeFTTransmit();
  WaitMilliseconds(25);
  WriteFTDevice(0);
  driver.status = FT_DEVICE_NOT_OPENED;
  CloseFTDevice();

  EXPECT_EQ(trace, (std::vector<std::string>{
                       "open FT5K8A01 -> 0",
                       "data 8 0 0 -> 0",
                       "flow 0 17 19 -> 0",
                       "baud 230400 -> 0",
                       "write A3 4D 0A -> 3",
                       "read 8 -> 5",
                       "purge rx -> 0",
                       "purge tx -> 0",
                       "sleep 25",
                       "write -> 0",
                       "close -> 3",
                   }));
  EXPECT_EQ(slept, (std::vector<int>{25}));
}

TEST(HexBytesTest, UpperCaseTwoDigitsSingleBlanks) {
  const std::uint8_t bytes[] = {0x00, 0x0A, 0xF3, 0x3F, 0xff};
  EXPECT_EQ(HexBytes(bytes, 5), "00 0A F3 3F FF");
  EXPECT_EQ(HexBytes(bytes, 0), "");
}

}  // namespace
}  // namespace kestrum::testing
