// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "commands/command_cycle.h"
#include "commands/dialects/wire_dialect.h"

namespace kestrum::testing {
namespace {

using CommandCycleTest = CommandTest;

// Commands show nothing when the open fails, but the reason must still say
// which of the port's refusals it was.
TEST_F(CommandCycleTest, TheOpenSaysWhyItFailed) {
  Attach(InstrumentModel::K7);
  const struct {
    std::string serial;
    bool attached;
    bool openedElsewhere;
    std::string failure;  // empty: opened
  } cases[] = {
      {"SERK7", true, false, ""},
      {"GONE", true, false, "opening GONE: device not found"},
      {"SERK7", true, true, "opening SERK7: device not opened"},
      {"SERK7", false, false, "no instrument is attached"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial + (c.attached ? " attached" : " detached"));
    SelectedInstrument.SerialNo = c.serial;
    InstrumentAttached = c.attached;
    FtHandle other = 0;
    if (c.openedElsewhere) {
      ASSERT_EQ(bus.OpenBySerialNumber("SERK7", &other), FT_OK);
    }
    InstrumentPort port(window);
    const Result<> opened = OpenSelectedInstrument(port);
    EXPECT_EQ(opened.ok(), c.failure.empty());
    EXPECT_EQ(opened.error(), c.failure);
    CloseFTDevice();
    if (c.openedElsewhere) bus.Close(other);
  }
}

// Every way the cycle can end leaves the converter closed, and the body runs
// exactly when a dialect was chosen.
TEST_F(CommandCycleTest, EveryEndClosesTheConverter) {
  enum class Setup { kPlain, kDetached, kSilentIdentify, kGarbledIdentify, kPulledAtIdentify };
  const struct {
    const char* name;
    InstrumentModel model;
    Setup setup;
    bool identifyOnly;
    bool stopBeforeIdentify;
    CycleEnd end;
  } cases[] = {
      {"K8 by its converter", InstrumentModel::K8, Setup::kPlain, false, false, CycleEnd::kRan},
      {"K6 by identify", InstrumentModel::K6, Setup::kPlain, false, false, CycleEnd::kRan},
      {"detached", InstrumentModel::K7, Setup::kDetached, false, false, CycleEnd::kNotOpened},
      {"stopped before identify", InstrumentModel::K5, Setup::kPlain, false, true,
       CycleEnd::kStopped},
      {"silent identify", InstrumentModel::K7, Setup::kSilentIdentify, false, false,
       CycleEnd::kUnknownModel},
      {"unknown model code", InstrumentModel::K5, Setup::kGarbledIdentify, false, false,
       CycleEnd::kUnknownModel},
      {"pulled out at identify", InstrumentModel::K6, Setup::kPulledAtIdentify, false, false,
       CycleEnd::kUnknownModel},
      {"K8 asked to identify", InstrumentModel::K8, Setup::kPlain, true, false,
       CycleEnd::kUnknownModel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    trace.clear();
    auto instrument = Attach(c.model);
    if (c.setup == Setup::kDetached) InstrumentAttached = false;
    if (c.setup == Setup::kSilentIdentify) instrument->AnswerNothing(ReplyKind::kIdentify);
    if (c.setup == Setup::kGarbledIdentify) instrument->AnswerWrong({0x03, 0x09});
    if (c.setup == Setup::kPulledAtIdentify) instrument->UnplugAfterSending(1);
    CycleSteps steps;
    steps.identifyOnly = c.identifyOnly;
    if (c.stopBeforeIdentify) steps.beforeIdentify = [](InstrumentPort&) { return false; };
    int bodyRuns = 0;
    const CycleResult cycle =
        WithInstrument(window, steps, [&](const WireDialect& dialect, InstrumentPort&) {
          ++bodyRuns;
          EXPECT_EQ(dialect.Model(), c.model);
        });

    EXPECT_EQ(cycle.end, c.end);
    EXPECT_EQ(bodyRuns, c.end == CycleEnd::kRan ? 1 : 0);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back().rfind("close -> ", 0), 0u) << trace.back();
    EXPECT_FALSE(bus.IsOpen(instrument->Serial()));
    if (bus.IsPlugged(instrument->Serial())) bus.Unplug(instrument->Serial());
  }
}

}  // namespace
}  // namespace kestrum::testing
