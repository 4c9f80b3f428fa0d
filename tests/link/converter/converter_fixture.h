// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Our driver and the real libftdi1 over simulated FTDI converters (see
// link/usb_sim): the port module, detection and the commands on top, the
// waits moving the simulator's clock, and a scratch folder that stands in
// for sysfs and holds the files a download writes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_fixture.h"
#include "link/d2xx_unit.h"
#include "link/ftdi_receiver.h"
#include "link/instrument_detection.h"
#include "link/libftdi_driver.h"
#include "link/port_trace.h"
#include "link/port_wait.h"
#include "link/usb_sim/usb_simulator.h"

namespace kestrum::testing {

inline usbsim::UsbSimulator& Sim() {
  return usbsim::UsbSimulator::Instance();
}

class ConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Sim().Reset();
    ResetD2XXUnitState();
    ResetInstrumentDetection();
    char name[] = "/tmp/kestrum-converter-test-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    folder = name;
    paths.sysfs_devices = folder + "/sys";
    paths.device_nodes = folder + "/dev";
    ::mkdir(paths.sysfs_devices.c_str(), 0755);
    driver = std::make_unique<LibFtdiDriver>(paths);
    SetFtDriver(driver.get());
    SetSleeper([](int milliseconds) { Sim().Sleep(milliseconds); });
    Sim().SetProgramThread(std::this_thread::get_id());
    SetReceiverWaitObserver([](bool waiting) { Sim().SetProgramWaiting(waiting); });
    SetPortTraceSink([this](const std::string& line) { trace.push_back(line); });
  }
  void TearDown() override {
    SetFtDriver(nullptr);
    driver.reset();
    SetReceiverWaitObserver({});
    SetSleeper({});
    SetReadProgressHook({});
    SetPortTraceSink({});
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  static EmulatedInstrumentConfig Config(InstrumentModel model, std::uint32_t seed = 3) {
    EmulatedInstrumentConfig config;
    config.model = model;
    config.serial = std::string("FT") + ModelName(model) + "X" + std::to_string(seed);
    config.description = model == InstrumentModel::K8 ? "USB <-> K8" : "USB <-> K5";
    GeneratorOptions options;
    options.model = model;
    options.runs = 3;
    options.hours = 30;
    options.seed = seed;
    config.memory = GenerateMemoryImage(options);
    return config;
  }

  // Plugs the instrument on hub port `port`, with its strings in our sysfs
  // unless `in_sysfs` is false, and selects it as detection would.
  usbsim::SimulatedDevice& Plug(const EmulatedInstrumentConfig& config,
                                usbsim::ChipKind kind = usbsim::kFT232R, std::uint8_t port = 2,
                                bool in_sysfs = true) {
    usbsim::SimulatedDevice& device = usbsim::PlugInstrument(kind, config, {port});
    if (in_sysfs) {
      const std::string entry = paths.sysfs_devices + "/" + UsbSysfsName(1, {port});
      ::mkdir(entry.c_str(), 0755);
      std::ofstream(entry + "/product") << config.description << "\n";
      std::ofstream(entry + "/serial") << config.serial << "\n";
    }
    SelectedInstrument = {config.serial, config.description};
    InstrumentAttached = true;
    return device;
  }

  std::string folder;
  UsbPaths paths;
  std::unique_ptr<LibFtdiDriver> driver;
  Lines trace;
};

// Stands in for the main window at a detection tick.
class DetectionRecorder : public DetectionWindow {
 public:
  void SetAttachmentText(const std::string& text) override { panel0 = text; }
  void SetButtonEnabled(InstrumentButton, bool) override {}
  std::string panel0;
};

}  // namespace kestrum::testing
