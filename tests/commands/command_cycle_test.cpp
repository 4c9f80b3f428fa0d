// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "commands/command_cycle.h"

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

}  // namespace
}  // namespace kestrum::testing
