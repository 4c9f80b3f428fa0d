// SPDX-License-Identifier: GPL-3.0-or-later
// The contact watch over the emulated bus: plugging and unplugging between
// two ticks.

#include <gtest/gtest.h>

#include "emulator/bus_fixture.h"

namespace kestrum::testing {
namespace {

class Window : public DetectionWindow {
 public:
  void SetAttachmentText(const std::string& text) override { panel0 = text; }
  void SetButtonEnabled(InstrumentButton button, bool enabled) override {
    enabled_[static_cast<int>(button)] = enabled;
  }
  bool Enabled(InstrumentButton button) const { return enabled_[static_cast<int>(button)]; }

  std::string panel0;

 private:
  bool enabled_[4] = {false, false, false, false};
};

TEST_F(BusTest, UnplugAndReplugBetweenTicks) {
  auto k8 = Plug(InstrumentModel::K8, "FT5K8A01", "USB <-> K8");
  Window window;
  DetectInstrument(window);
  ASSERT_EQ(window.panel0, "Kestrum Attached");
  // A download would have enabled the level button.
  window.SetButtonEnabled(InstrumentButton::kTriggerLevel, true);

  bus.Unplug("FT5K8A01");
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, "");
  for (auto button : {InstrumentButton::kDownload, InstrumentButton::kClockSync,
                      InstrumentButton::kErase, InstrumentButton::kTriggerLevel}) {
    EXPECT_FALSE(window.Enabled(button));
  }
  EXPECT_EQ(SelectedInstrument.SerialNo, "FT5K8A01");
  EXPECT_EQ(SelectedInstrument.Description, "USB <-> K8");

  bus.Plug(k8);
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, "Kestrum Attached");
  EXPECT_TRUE(window.Enabled(InstrumentButton::kDownload));
  EXPECT_TRUE(window.Enabled(InstrumentButton::kClockSync));
  EXPECT_TRUE(window.Enabled(InstrumentButton::kErase));
  EXPECT_FALSE(window.Enabled(InstrumentButton::kTriggerLevel));
}

TEST_F(BusTest, TheFirstAcceptedOfSeveralIsChosenAndACaseVariantIsNot) {
  Plug(InstrumentModel::K5, "A1", "usb <-> k5");
  Plug(InstrumentModel::K7, "A2", "USB <-> Serial Cable");
  Plug(InstrumentModel::K8, "A3", "USB <-> K8");
  Window window;
  DetectInstrument(window);
  EXPECT_EQ(SelectedInstrument.SerialNo, "A2");
  EXPECT_EQ(SelectedInstrument.Description, "USB <-> Serial Cable");
}

TEST_F(BusTest, DetectionDuringAnOpenTransferLeavesItAlone) {
  auto k8 = Plug(InstrumentModel::K8, "FT5K8A01", "USB <-> K8");
  Open_USB_Device_By_Serial_Number("FT5K8A01");
  K8LineSetup();
  Window window;
  // The contact watch ticks from inside the read's progress report.
  SetReadProgressHook([&window](std::uint32_t, std::uint32_t) {
    DetectInstrument(window);
    return true;
  });
  Write({0xA3, 0x4D, 0x0A});
  EXPECT_EQ(ReadFTDevice(131072), 131072u);
  EXPECT_EQ(Received(131072), k8->State().memory);
  EXPECT_EQ(window.panel0, "Kestrum Attached");
  EXPECT_TRUE(bus.IsOpen("FT5K8A01"));
}

TEST_F(BusTest, UnreadableConverterShowsThePermissionHint) {
  Plug(InstrumentModel::K8, "FT5K8A01", "USB <-> K8");
  bus.SetUnreadable("FT5K8A01", true);
  Window window;
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, kUsbPermissionHint);
  EXPECT_FALSE(InstrumentAttached);
}

}  // namespace
}  // namespace kestrum::testing
