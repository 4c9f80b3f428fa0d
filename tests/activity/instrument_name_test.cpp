// SPDX-License-Identifier: GPL-3.0-or-later
// The names the activity log gives instruments, read from the history.
#include <gtest/gtest.h>

#include "activity/command_activity.h"
#include "history/history_fixture.h"
#include "link/instrument_detection.h"

namespace kestrum::testing {
namespace {

// An instrument pulled out before it answered is still named as the history
// knows it, so its entries read alike.
TEST_F(HistoryFixture, AnUnansweredCommandNamesTheInstrumentAsTheHistoryKnowsIt) {
  auto store = OpenStore();
  ASSERT_TRUE(Import(*store, "d0", FileOf({HourlyRun(EncodeDate(2026, 2, 8), 5)})));
  const std::string known = store->Instruments().value().at(0).name;  // "K8-FT1"
  const std::string serial = known.substr(known.find('-') + 1);
  const TK5 selected = SelectedInstrument;
  SelectedInstrument = {serial, "USB <-> K5"};
  EXPECT_EQ(CommandInstrumentName(0, store.get()), known);
  EXPECT_EQ(CommandInstrumentName(0, nullptr), serial);
  SelectedInstrument = {"NEVERSEEN", "USB <-> K5"};
  EXPECT_EQ(CommandInstrumentName(0, store.get()), "NEVERSEEN");
  SelectedInstrument = selected;
}

}  // namespace
}  // namespace kestrum::testing
