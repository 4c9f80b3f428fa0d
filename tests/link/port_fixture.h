// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every port-module test starts from the start-up state with a scripted
// driver installed, and leaves no driver, hook, sleeper or trace behind.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_trace.h"
#include "link/port_wait.h"
#include "link/scripted_driver.h"

namespace kestrum::testing {

class PortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetD2XXUnitState();
    ResetInstrumentDetection();
    SetFtDriver(&driver);
    SetSleeper([this](int ms) { slept.push_back(ms); });
  }
  void TearDown() override {
    SetFtDriver(nullptr);
    SetReadProgressHook({});
    SetPortTraceSink({});
    SetSleeper({});
  }
  void StartTrace() {
    SetPortTraceSink([this](const std::string& line) { trace.push_back(line); });
  }

  ScriptedDriver driver;
  std::vector<int> slept;
  std::vector<std::string> trace;
};

}  // namespace kestrum::testing
