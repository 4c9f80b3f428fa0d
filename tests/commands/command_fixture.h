// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Commands against emulated instruments in instant virtual time: the port
// trace of every command, a window that records what the command did to it,
// and a scratch folder for the files a download writes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_window.h"
#include "commands/parameter_block.h"
#include "emulator/emulated_bus.h"
#include "link/d2xx_unit.h"
#include "link/instrument_detection.h"
#include "link/port_trace.h"
#include "link/port_wait.h"
#include "records/date_time.h"
#include "records/image_generator.h"
#include "records/measurement_store.h"

namespace kestrum::testing {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

// Records every window effect as one line, in order.
class RecordingWindow : public CommandWindow {
 public:
  void SetProgressText(const std::string& text) override {
    status = text;
    events.push_back("status " + text);
  }
  void RepaintStatusBar() override { events.push_back("repaint"); }
  bool Confirm(const std::string& text) override {
    questions.push_back(text);
    events.push_back("confirm");
    if (whileAsking) whileAsking();
    return answer;
  }
  void MemoryTransferBegins(std::uint32_t requested) override {
    events.push_back("transfer " + std::to_string(requested));
  }
  bool MemoryTransferProgress(std::uint32_t received, std::uint32_t requested) override {
    return !transferProgress || transferProgress(received, requested);
  }
  void MemoryTransferEnds() override { events.push_back("transfer end"); }
  void LongWaitBegins(int milliseconds) override {
    events.push_back("long wait " + std::to_string(milliseconds));
  }
  void LongWaitEnds() override { events.push_back("long wait end"); }

  bool answer = true;
  // What happens while the question is open (the user takes their time).
  std::function<void()> whileAsking;
  // What the memory transfer's progress answers; unset: go on.
  std::function<bool(std::uint32_t received, std::uint32_t requested)> transferProgress;
  std::string status;
  Lines events;
  std::vector<std::string> questions;
};

// Large images: report the first difference instead of every byte.
inline ::testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected) {
  if (actual.size() != expected.size()) {
    return ::testing::AssertionFailure()
           << "sizes " << actual.size() << " and " << expected.size() << " differ";
  }
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] != expected[i]) {
      return ::testing::AssertionFailure()
             << "byte " << i << " is " << int(actual[i]) << ", expected " << int(expected[i]);
    }
  }
  return ::testing::AssertionSuccess();
}

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetD2XXUnitState();
    ResetInstrumentDetection();
    ParameterBlock.fill(0);
    SetFtDriver(&bus);
    SetSleeper(bus.MakeSleeper());
    SetPortTraceSink([this](const std::string& line) { trace.push_back(line); });
    char name[] = "/tmp/kestrum-commands-test-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    folder = name;
  }
  void TearDown() override {
    SetFtDriver(nullptr);
    SetSleeper({});
    SetReadProgressHook({});
    SetPortTraceSink({});
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // Plugs an instrument with the given memory (or a generated one) and
  // selects it as detection would.
  std::shared_ptr<EmulatedInstrument> Attach(InstrumentModel model, std::string description = "",
                                             Bytes memory = {}) {
    EmulatedInstrumentConfig config;
    config.model = model;
    config.serial = std::string("SER") + ModelName(model);
    config.description = !description.empty()           ? description
                         : model == InstrumentModel::K8 ? "USB <-> K8"
                                                        : "USB <-> K5";
    config.memory = memory.empty() ? Generated(model) : memory;
    auto instrument = std::make_shared<EmulatedInstrument>(config);
    bus.Plug(instrument);
    SelectedInstrument = {config.serial, config.description};
    InstrumentAttached = true;
    return instrument;
  }

  static Bytes Generated(InstrumentModel model, std::uint32_t seed = 3) {
    GeneratorOptions options;
    options.model = model;
    options.runs = 3;
    options.hours = 30;
    options.seed = seed;
    return GenerateMemoryImage(options);
  }

  std::string FilePath(const std::string& name) const { return folder + "/" + name; }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(FilePath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool FileExists(const std::string& name) const {
    return ::access(FilePath(name).c_str(), F_OK) == 0;
  }
  // The bytes the last read call received, from the wire log.
  Bytes LastReply() const {
    Bytes bytes;
    std::uint32_t transfer = 0;
    for (const WireLogEntry& entry : bus.Log()) {
      if (entry.direction != WireDirection::kToHost) continue;
      if (entry.transfer != transfer) bytes.clear();
      transfer = entry.transfer;
      bytes.push_back(entry.byte);
    }
    return bytes;
  }
  double NowMs() const { return static_cast<double>(bus.NowNs()) / 1e6; }
  // Pulls the plug as soon as the identify answer has been read in full.
  void UnplugAfterTheIdentify(const std::string& serial) {
    SetPortTraceSink([this, serial](const std::string& line) {
      trace.push_back(line);
      if (line == "read 2 -> 2") bus.Unplug(serial);
    });
  }

  EmulatedBus bus{TimeMode::kInstant};
  RecordingWindow window;
  Lines trace;
  std::string folder;
};

}  // namespace kestrum::testing
