// SPDX-License-Identifier: GPL-3.0-or-later
// The real driver on a machine without converters: listing works and finds
// none, and nothing can be opened or used.

#include <gtest/gtest.h>

#include <cstdlib>

#include "link/d2xx_unit.h"
#include "link/libftdi_driver.h"

namespace kestrum {
namespace {

TEST(LibFtdiDriverTest, ListsNoConverterWhereNoneIsAttached) {
  if (std::getenv("KESTRUM_HAVE_FTDI_DEVICE")) GTEST_SKIP() << "a converter is attached";
  LibFtdiDriver driver;
  std::uint32_t count = 99;
  ASSERT_EQ(driver.ListDeviceCount(&count), FT_OK);
  EXPECT_EQ(count, 0u);
  FtDescriptionBuffer description{};
  EXPECT_EQ(driver.ListDescription(0, description), FT_DEVICE_NOT_FOUND);
  FtSerialBuffer serial{};
  EXPECT_EQ(driver.ListSerialNumber(0, serial), FT_DEVICE_NOT_FOUND);
  FtHandle handle = 5;
  EXPECT_EQ(driver.OpenBySerialNumber("FT5K8A01", &handle), FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(handle, 5u);
  EXPECT_FALSE(driver.ListingAccessDenied());
}

TEST(LibFtdiDriverTest, CallsOnAHandleThatWasNeverOpenedFail) {
  LibFtdiDriver driver;
  std::uint8_t buffer[4] = {};
  std::uint32_t count = 9;
  EXPECT_EQ(driver.Read(1, buffer, 4, &count, {}), FT_INVALID_HANDLE);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(driver.Write(1, buffer, 4, &count), FT_INVALID_HANDLE);
  EXPECT_EQ(driver.SetBaudRate(1, 230400), FT_INVALID_HANDLE);
  EXPECT_EQ(driver.SetDataCharacteristics(1, 8, 0, 0), FT_INVALID_HANDLE);
  EXPECT_EQ(driver.SetFlowControl(1, 0, 0x11, 0x13), FT_INVALID_HANDLE);
  EXPECT_EQ(driver.Purge(1, FT_PURGE_RX), FT_INVALID_HANDLE);
  EXPECT_EQ(driver.Close(0), FT_INVALID_HANDLE);
}

TEST(LibFtdiDriverTest, PortModuleOverTheRealDriverFindsNothing) {
  if (std::getenv("KESTRUM_HAVE_FTDI_DEVICE")) GTEST_SKIP() << "a converter is attached";
  LibFtdiDriver driver;
  ResetD2XXUnitState();
  SetFtDriver(&driver);
  FTDeviceCount = 7;
  EXPECT_EQ(GetFTDeviceCount(), FT_OK);
  EXPECT_EQ(FTDeviceCount, 0u);
  SetFtDriver(nullptr);
}

}  // namespace
}  // namespace kestrum
