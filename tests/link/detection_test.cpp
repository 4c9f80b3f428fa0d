// SPDX-License-Identifier: GPL-3.0-or-later
// Detection over a scripted listing: which device is accepted, what the
// window is told, and what is kept when the device goes.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "link/port_fixture.h"

namespace kestrum::testing {
namespace {

// Remembers the last state of the panel and buttons, and every panel write.
class RecordingWindow : public DetectionWindow {
 public:
  void SetAttachmentText(const std::string& text) override {
    panel0 = text;
    panel_writes.push_back(text);
  }
  void SetButtonEnabled(InstrumentButton button, bool enabled) override {
    buttons[button] = enabled;
    if (button == InstrumentButton::kTriggerLevel && enabled) level_ever_enabled = true;
  }
  bool Enabled(InstrumentButton button) const {
    const auto found = buttons.find(button);
    return found != buttons.end() && found->second;
  }
  bool CommandButtonsEnabled() const {
    return Enabled(InstrumentButton::kDownload) && Enabled(InstrumentButton::kClockSync) &&
           Enabled(InstrumentButton::kErase);
  }
  bool AllDisabled() const {
    for (auto button : {InstrumentButton::kDownload, InstrumentButton::kClockSync,
                        InstrumentButton::kErase, InstrumentButton::kTriggerLevel}) {
      if (buttons.count(button) == 0 || buttons.at(button)) return false;
    }
    return true;
  }

  std::string panel0 = "untouched";
  std::vector<std::string> panel_writes;
  std::map<InstrumentButton, bool> buttons;
  bool level_ever_enabled = false;
};

class DetectionTest : public PortTest {
 protected:
  // Devices as (description, serial), NUL-terminated as the driver gives them.
  void List(const std::vector<std::pair<std::string, std::string>>& devices) {
    driver.descriptions.clear();
    driver.serials.clear();
    for (const auto& [description, serial] : devices) {
      driver.descriptions.push_back(description + '\0');
      driver.serials.push_back(serial + '\0');
    }
    driver.count_value = static_cast<std::uint32_t>(devices.size());
  }

  RecordingWindow window;
};

TEST_F(DetectionTest, NoDeviceLeavesPanelEmptyAndDisablesAllFourButtons) {
  List({});
  DetectInstrument(window);
  EXPECT_FALSE(InstrumentAttached);
  EXPECT_EQ(window.panel0, "");
  EXPECT_TRUE(window.AllDisabled());
}

TEST_F(DetectionTest, InstrumentBehindAnUnknownDeviceIsSelected) {
  List({{"FT232R USB UART", "A900XYZ1"}, {"USB <-> K8", "FT5K8A01"}});
  DetectInstrument(window);
  EXPECT_TRUE(InstrumentAttached);
  EXPECT_EQ(SelectedInstrument.Description, "USB <-> K8");
  EXPECT_EQ(SelectedInstrument.SerialNo, "FT5K8A01");
  EXPECT_EQ(window.panel0, "Kestrum Attached");
  EXPECT_TRUE(window.CommandButtonsEnabled());
  EXPECT_FALSE(window.level_ever_enabled);
}

TEST_F(DetectionTest, OfTwoAcceptedDevicesIndexZeroWinsOnEveryPass) {
  List({{"USB <-> Serial", "SER00001"}, {"USB <-> K8", "K8000002"}, {"USB <-> K5", "K5000003"}});
  for (int tick = 0; tick < 3; ++tick) {
    driver.listed_indexes.clear();
    DetectInstrument(window);
    EXPECT_EQ(SelectedInstrument.SerialNo, "SER00001");
    EXPECT_EQ(SelectedInstrument.Description, "USB <-> Serial");
    // The index stops at the accepted device: it is listed again on every pass.
    EXPECT_EQ(driver.listed_indexes, (std::vector<std::uint32_t>{0, 0, 0}));
  }
  EXPECT_EQ(driver.serial_calls, 9);
}

TEST_F(DetectionTest, AllSixDescriptionsAreAcceptedAndNothingElse) {
  for (const char* description :
       {"USB <-> K5", "USB <-> K8", "USB <-> Serial Cable", "USB <-> Serial", "FT230X Basic UART",
        "USB <-> Serial Converter"}) {
    List({{description, "S1"}});
    DetectInstrument(window);
    EXPECT_TRUE(InstrumentAttached) << description;
  }
  for (const char* description : {"usb <-> k8", "USB <-> k5", "USB <-> K8 ", "USB <-> K7",
                                  "USB <-> serial", "FT230X Basic Uart", ""}) {
    List({{description, "S1"}});
    DetectInstrument(window);
    EXPECT_FALSE(InstrumentAttached) << '"' << description << '"';
    EXPECT_TRUE(window.AllDisabled());
  }
}

TEST_F(DetectionTest, UnplugKeepsTheSelectionAndReplugDoesNotEnableTheLevelButton) {
  List({{"USB <-> K5", "K5SERIAL"}});
  DetectInstrument(window);
  ASSERT_TRUE(InstrumentAttached);

  List({});
  DetectInstrument(window);
  EXPECT_FALSE(InstrumentAttached);
  EXPECT_EQ(window.panel0, "");
  EXPECT_TRUE(window.AllDisabled());
  EXPECT_EQ(SelectedInstrument.SerialNo, "K5SERIAL");
  EXPECT_EQ(SelectedInstrument.Description, "USB <-> K5");

  List({{"USB <-> K5", "K5SERIAL"}});
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, "Kestrum Attached");
  EXPECT_TRUE(window.CommandButtonsEnabled());
  EXPECT_FALSE(window.Enabled(InstrumentButton::kTriggerLevel));
}

TEST_F(DetectionTest, FailedSerialListingStoresTheAcceptedDescriptionAsSerial) {
  List({{"USB <-> K8", "FT5K8A01"}});
  driver.serial_status = FT_IO_ERROR;
  DetectInstrument(window);
  EXPECT_TRUE(InstrumentAttached);
  EXPECT_EQ(SelectedInstrument.SerialNo, "USB <-> K8");
}

TEST_F(DetectionTest, FailedDescriptionListingComparesTheTextHeldFromBefore) {
  List({{"USB <-> K8", "FT5K8A01"}});
  DetectInstrument(window);
  // The serial number was listed last; with every listing failing now, that
  // is what gets compared, and it is no accepted description.
  driver.description_status = FT_IO_ERROR;
  driver.serial_status = FT_IO_ERROR;
  DetectInstrument(window);
  EXPECT_FALSE(InstrumentAttached);
  EXPECT_EQ(FTDeviceString, "FT5K8A01");
}

TEST_F(DetectionTest, ImplausibleDeviceCountListsNothing) {
  List({{"USB <-> K8", "FT5K8A01"}});
  driver.count_value = 0x80000000u;
  DetectInstrument(window);
  EXPECT_FALSE(InstrumentAttached);
  EXPECT_EQ(driver.description_calls, 0);
}

TEST_F(DetectionTest, DetectionNeverOpensAndTracesNothing) {
  StartTrace();
  List({{"FT232R USB UART", "X"}, {"USB <-> K8", "FT5K8A01"}});
  DetectInstrument(window);
  EXPECT_EQ(driver.open_calls, 0);
  EXPECT_TRUE(driver.handles_used.empty());
  EXPECT_TRUE(trace.empty());
}

TEST_F(DetectionTest, PermissionHintIsWrittenOnceAndGivesWayToTheInstrument) {
  List({{"USB <-> K8", "FT5K8A01"}});
  driver.description_status = FT_DEVICE_NOT_OPENED;
  driver.access_denied = true;
  for (int tick = 0; tick < 3; ++tick) DetectInstrument(window);
  EXPECT_EQ(window.panel0, kUsbPermissionHint);
  EXPECT_EQ(std::count(window.panel_writes.begin(), window.panel_writes.end(),
                       std::string(kUsbPermissionHint)),
            1);
  EXPECT_TRUE(window.AllDisabled());

  // The rule installed: the instrument shows up as usual.
  driver.description_status = FT_OK;
  driver.access_denied = false;
  DetectInstrument(window);
  EXPECT_EQ(window.panel0, "Kestrum Attached");
}

}  // namespace
}  // namespace kestrum::testing
