// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A bus of emulated instruments in instant virtual time, installed under the
// port module, with the waits moving its clock.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "emulator/emulated_bus.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_trace.h"
#include "link/port_wait.h"

namespace kestrum::testing {

using Bytes = std::vector<std::uint8_t>;

class BusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetD2XXUnitState();
    ResetInstrumentDetection();
    SetFtDriver(&bus);
    SetSleeper(bus.MakeSleeper());
  }
  void TearDown() override {
    SetFtDriver(nullptr);
    SetSleeper({});
    SetReadProgressHook({});
    SetPortTraceSink({});
  }

  std::shared_ptr<EmulatedInstrument> Plug(InstrumentModel model, const std::string& serial,
                                           const std::string& description) {
    EmulatedInstrumentConfig config;
    config.model = model;
    config.serial = serial;
    config.description = description;
    config.memory.assign(static_cast<std::size_t>(ImageLengthOf(model)), 0);
    for (std::size_t i = 0; i < config.memory.size(); ++i) {
      config.memory[i] = static_cast<std::uint8_t>(i * 13 + 5);
    }
    auto instrument = std::make_shared<EmulatedInstrument>(config);
    bus.Plug(instrument);
    return instrument;
  }

  static std::uint32_t Write(const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), FTOutBuffer.begin());
    return WriteFTDevice(static_cast<std::uint32_t>(bytes.size()));
  }
  static Bytes Received(std::uint32_t count) {
    return Bytes(FTInBuffer.begin(), FTInBuffer.begin() + count);
  }
  // The K8 line setup: 8N1, no flow control, 230,400 baud.
  static void K8LineSetup() {
    FTParity = 0;
    FTStopBits = 0;
    FTWordLength = 8;
    SetFTDataCharacteristics();
    FTFlowControl = 0;
    SetFTFlowControl();
    FTBaudRate = 230400;
    SetFTBaudRate();
  }
  static void StartTraceInto(std::vector<std::string>& lines) {
    SetPortTraceSink([&lines](const std::string& line) { lines.push_back(line); });
  }
  double NowMs() const { return static_cast<double>(bus.NowNs()) / 1e6; }

  EmulatedBus bus{TimeMode::kInstant};
  std::vector<std::string> trace_;
};

}  // namespace kestrum::testing
