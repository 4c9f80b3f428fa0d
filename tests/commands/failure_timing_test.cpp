// SPDX-License-Identifier: GPL-3.0-or-later
// Every fault at every reply of every command is reported within the longest
// wait a command has, and the next command after it is too: a user who sees
// nothing for minutes unplugs the instrument.
#include <gtest/gtest.h>

#include <functional>

#include "command_fixture.h"
#include "commands/clock_sync.h"
#include "commands/instrument_erase.h"
#include "commands/measurement_download.h"
#include "commands/trigger_level.h"
#include "emulator/fault_option.h"

namespace kestrum::testing {
namespace {

constexpr double kLongestReportMs = 20000;
constexpr DateTime kClockNow = 47000;

const char* const kFaults[] = {"silent",
                               "short=1",
                               "garbage=A5A5A5",
                               "unplug-after=0",
                               "unplug-after=1",
                               "unplug-after=3",
                               "unplug-after=70000",
                               "silent@identify",
                               "short=1@identify",
                               "garbage=4142@identify",
                               "silent@memory",
                               "short=1@memory",
                               "garbage=A5A5A5@memory",
                               "silent@parameters",
                               "short=1@parameters",
                               "garbage=A5@parameters",
                               "silent@coefficients",
                               "short=1@coefficients",
                               "garbage=A5@coefficients",
                               "silent@erase",
                               "short=1@erase",
                               "garbage=A5@erase"};

class FailureTimingTest : public CommandTest {
 protected:
  using Command = std::function<void()>;

  std::vector<std::pair<const char*, Command>> CommandsOf(InstrumentModel model) {
    std::vector<std::pair<const char*, Command>> commands = {
        {"download",
         [this] {
           DownloadSettings settings;
           settings.directory = folder;
           settings.decode.outputDirectory = folder;
           settings.decode.now = kClockNow;
           settings.decode.writeFiles = false;
           (void)DownloadMeasurements(*store, settings, window);
         }},
        {"clock", [this] { (void)SynchronizeClock([] { return kClockNow; }, window); }},
        {"erase", [this] { (void)EraseInstrument(window); }},
    };
    if (model != InstrumentModel::K8) {
      commands.push_back(
          {"trigger level", [this] { (void)SetTriggerLevel(200, false, 6.0L, &window); }});
    }
    return commands;
  }

  // From the last byte the instrument sent (or the start) to the command's end.
  double QuietBeforeTheEnd(double startMs) const {
    double lastByteMs = startMs;
    for (const WireLogEntry& entry : bus.Log()) {
      if (entry.direction == WireDirection::kToHost) {
        lastByteMs = std::max(lastByteMs, static_cast<double>(entry.time_ns) / 1e6);
      }
    }
    return NowMs() - lastByteMs;
  }

  // How long the command with the fault, then a plain command on the same
  // bus, kept the user waiting after the instrument's last byte.
  std::pair<double, double> Timed(InstrumentModel model, const char* fault, const Command& run) {
    auto instrument = Attach(model);
    const Result<FaultOption> option = ParseFaultOption(fault);
    EXPECT_TRUE(option) << fault;
    if (option) ApplyFaultOption(option.value(), *instrument, bus);
    bus.ClearLog();
    const double start = NowMs();
    run();
    const double faulted = QuietBeforeTheEnd(start);
    if (!bus.IsPlugged(instrument->Serial())) bus.Plug(instrument);
    instrument->AnswerAsUsual();
    instrument->ClearUnplugAfterSending();
    bus.ClearLog();
    const double next = NowMs();
    run();
    const double after = QuietBeforeTheEnd(next);
    bus.Unplug(instrument->Serial());
    return {faulted, after};
  }

  std::unique_ptr<MeasurementStore> store = std::make_unique<MeasurementStore>();
};

TEST_F(FailureTimingTest, EveryFaultIsReportedWithinTheLongestWait) {
  for (InstrumentModel model :
       {InstrumentModel::K5, InstrumentModel::K6, InstrumentModel::K7, InstrumentModel::K8}) {
    for (const auto& [name, run] : CommandsOf(model)) {
      for (const char* fault : kFaults) {
        const auto [faulted, after] = Timed(model, fault, run);
        const std::string what = std::string(ModelName(model)) + " " + name + " " + fault;
        EXPECT_LT(faulted, kLongestReportMs) << what;
        EXPECT_LT(after, kLongestReportMs) << what << ", the command after it";
      }
    }
  }
}

}  // namespace
}  // namespace kestrum::testing
