// SPDX-License-Identifier: GPL-3.0-or-later
// What our driver asks of the converter through libftdi1: the vendor
// requests behind the line settings, listing without touching the bus, and
// every libusb object given back.

#include <gtest/gtest.h>

#include "commands/instrument_port.h"
#include "converter_fixture.h"

namespace kestrum::testing {
namespace {

using usbsim::VendorRequestRecord;

bool Contains(const std::vector<VendorRequestRecord>& requests, std::uint8_t request,
              std::uint16_t value, std::uint16_t index) {
  return std::any_of(requests.begin(), requests.end(), [&](const VendorRequestRecord& r) {
    return r.request == request && r.value == value && r.index == index;
  });
}

class ConverterLineTest : public ConverterTest {};

TEST_F(ConverterLineTest, LineSettingsReachTheChipAsTheirVendorRequests) {
  Plug(Config(InstrumentModel::K8));
  ASSERT_EQ(Open_USB_Device_By_Serial_Number(SelectedInstrument.SerialNo), FT_OK);
  const auto at_open = Sim().VendorRequests();
  SilentWindow none;
  InstrumentPort(none).SetK8Line();
  FTFlowControl = FT_FLOW_XON_XOFF;
  SetFTFlowControl();
  const auto all = Sim().VendorRequests();
  CloseFTDevice();

  struct Expected {
    const char* what;
    std::uint8_t request;
    std::uint16_t value;
    std::uint16_t index;
    bool at_open;
  };
  const Expected expected[] = {
      {"9,600 baud at open", 0x03, 0x4138, 0x0000, true},
      {"8N1 right after open", 0x04, 0x0008, 0x0001, true},
      {"no flow control after open", 0x02, 0x0000, 0x0001, true},
      {"latency timer 2 ms", 0x09, 0x0002, 0x0001, true},
      {"230,400 baud", 0x03, 0x000D, 0x0000, false},
      {"XON/XOFF with 0x11 and 0x13", 0x02, 0x1311, 0x0401, false},
  };
  for (const Expected& e : expected) {
    EXPECT_TRUE(Contains(e.at_open ? at_open : all, e.request, e.value, e.index)) << e.what;
  }
}

TEST_F(ConverterLineTest, ListingReadsSysfsAndLeavesTheKernelDriverBound) {
  usbsim::SimulatedDevice& device = Plug(Config(InstrumentModel::K8));
  DetectionRecorder window;
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, kAttachedText);
  EXPECT_EQ(SelectedInstrument.SerialNo, device.serial);
  EXPECT_EQ(Sim().StringRequests(), 0);
  EXPECT_EQ(Sim().DeviceOpens(), 0);
  EXPECT_TRUE(Sim().KernelDriverBound(device));
}

TEST_F(ConverterLineTest, WithoutSysfsListingAsksTheDeviceButNotWhileACommandHoldsIt) {
  usbsim::SimulatedDevice& device = Plug(Config(InstrumentModel::K7), usbsim::kFT232R, 3, false);
  DetectionRecorder window;
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, kAttachedText);
  EXPECT_GT(Sim().StringRequests(), 0);
  EXPECT_TRUE(Sim().KernelDriverBound(device));

  ASSERT_EQ(Open_USB_Device_By_Serial_Number(SelectedInstrument.SerialNo), FT_OK);
  EXPECT_FALSE(Sim().KernelDriverBound(device));
  const int strings = Sim().StringRequests();
  const auto requests = Sim().VendorRequests().size();
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, kAttachedText);
  EXPECT_EQ(Sim().StringRequests(), strings);
  EXPECT_EQ(Sim().VendorRequests().size(), requests);
  CloseFTDevice();
  EXPECT_TRUE(Sim().KernelDriverBound(device));
}

TEST_F(ConverterLineTest, ARefusedConverterGivesTheHint) {
  usbsim::SimulatedDevice& device = Plug(Config(InstrumentModel::K8), usbsim::kFT232R, 2, false);
  device.access_refused = true;
  DetectionRecorder window;
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, kUsbPermissionHint);
  EXPECT_FALSE(InstrumentAttached);
}

TEST_F(ConverterLineTest, EveryContextHandleAndReferenceIsGivenBack) {
  Plug(Config(InstrumentModel::K8), usbsim::kFT232R, 2, false);
  DetectionRecorder window;
  DetectInstrument(window);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(Open_USB_Device_By_Serial_Number(SelectedInstrument.SerialNo), FT_OK);
    FTOutBuffer[0] = 0xA3;
    WriteFTDevice(1);
    EXPECT_EQ(CloseFTDevice(), FT_OK);
  }
  usbsim::UsbResources open = Sim().Resources();
  EXPECT_EQ(open.contexts, 1);  // the listing's
  EXPECT_EQ(open.open_handles, 0);
  EXPECT_EQ(open.device_references, 0);
  EXPECT_EQ(open.config_descriptors, 0);
  SetFtDriver(nullptr);
  driver.reset();
  EXPECT_EQ(Sim().Resources().contexts, 0);
}

}  // namespace
}  // namespace kestrum::testing
