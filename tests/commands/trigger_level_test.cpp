// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "commands/trigger_level.h"

namespace kestrum::testing {
namespace {

class TriggerLevelTest : public CommandTest {};

TEST(TriggerLevelPulsesTest, TruncatesAndRefusesWhatDoesNotFitOneByte) {
  EXPECT_EQ(TriggerLevelPulses(200, 6.0L), 33);
  EXPECT_EQ(TriggerLevelPulses(50, 6.25L), 8);
  EXPECT_EQ(TriggerLevelPulses(1525, 6.0L), 254);
  EXPECT_EQ(TriggerLevelPulses(1550, 6.0L), std::nullopt);  // 258 would wrap to 2
  EXPECT_EQ(TriggerLevelPulses(2000, 6.0L), std::nullopt);  // 333 would wrap to 77
  EXPECT_EQ(TriggerLevelPulses(1275, 5.0L), 255);
  EXPECT_EQ(TriggerLevelPulses(200, 0.0L), std::nullopt);  // an image without a factor
}

TEST(TriggerLevelPulsesTest, HighestFittingPositionFollowsTheFactor) {
  EXPECT_EQ(HighestFittingPosition(6.0L), 1525);
  EXPECT_EQ(HighestFittingPosition(6.25L), 1575);  // 1600 / 6.25 = 256
  EXPECT_EQ(HighestFittingPosition(5.0L), 1275);   // 1275 / 5 = 255 exactly
  EXPECT_EQ(HighestFittingPosition(10.0L), 2000);
  EXPECT_EQ(HighestFittingPosition(0.1L), 50);
  EXPECT_EQ(HighestFittingPosition(0.0L), 50);
}

TEST_F(TriggerLevelTest, K5GetsTwoNibbleMemoryWrites) {
  auto k5 = Attach(InstrumentModel::K5);
  const double start = NowMs();

  const TriggerOutcome outcome = SetTriggerLevel(200, false, 6.0L);

  EXPECT_EQ(outcome.end, TriggerEnd::kSent);
  EXPECT_EQ(outcome.level, 33);
  EXPECT_EQ(trace,
            (Lines{"close -> 1", "sleep 500", "sleep 100", "open SERK5 -> 0", "write F3 3F -> 2",
                   "sleep 25", "read 2 -> 2", "write 05 07 -> 2", "sleep 25",
                   "write 00 00 00 04 02 01 -> 6", "sleep 100", "write 05 07 -> 2", "sleep 25",
                   "write 00 00 00 05 00 00 -> 6", "sleep 100", "close -> 0"}));
  EXPECT_EQ(k5->State().TriggerLevel(), 33);
  EXPECT_EQ(k5->State().FlashOption(), 0);
  // About 0.9 s with the opening pause.
  EXPECT_GE(NowMs() - start, 875);
  EXPECT_LT(NowMs() - start, 950);
}

TEST_F(TriggerLevelTest, K6WithFlashStillGetsTheLevel) {
  auto k6 = Attach(InstrumentModel::K6);
  EXPECT_EQ(SetTriggerLevel(200, true, 6.0L).end, TriggerEnd::kSent);
  EXPECT_EQ(trace[9], "write 00 00 00 04 02 01 -> 6");
  EXPECT_EQ(trace[13], "write 00 00 00 05 00 02 -> 6");
  EXPECT_EQ(k6->State().FlashOption(), 2);
}

TEST_F(TriggerLevelTest, K7GetsLetterWrites) {
  auto k7 = Attach(InstrumentModel::K7);
  const double start = NowMs();
  EXPECT_EQ(SetTriggerLevel(200, false, 6.0L).end, TriggerEnd::kSent);
  EXPECT_EQ(trace, (Lines{"close -> 1", "sleep 500", "sleep 100", "open SERK7 -> 0",
                          "write F3 3F -> 2", "sleep 25", "read 2 -> 2", "write 57 -> 1",
                          "sleep 10", "write 00 04 21 -> 3", "sleep 10", "write 57 -> 1",
                          "sleep 10", "write 00 05 00 -> 3", "sleep 10", "close -> 0"}));
  EXPECT_EQ(k7->State().TriggerLevel(), 0x21);
  EXPECT_LT(NowMs() - start, 700);

  trace.clear();
  EXPECT_EQ(SetTriggerLevel(50, true, 6.25L).level, 8);
  EXPECT_EQ(trace[9], "write 00 04 08 -> 3");
  EXPECT_EQ(trace[13], "write 00 05 02 -> 3");
}

TEST_F(TriggerLevelTest, K8ReceivesOnlyTheIdentify) {
  auto k8 = Attach(InstrumentModel::K8);
  const std::uint8_t levelBefore = k8->State().TriggerLevel();
  EXPECT_EQ(SetTriggerLevel(200, false, 6.0L).end, TriggerEnd::kUnknownModel);
  EXPECT_EQ(bus.BytesWritten(), (Bytes{0xF3, 0x3F}));
  EXPECT_EQ(k8->State().TriggerLevel(), levelBefore);
  EXPECT_EQ(trace.back(), "close -> 0");
}

TEST_F(TriggerLevelTest, LevelAboveOneByteIsNotSent) {
  Attach(InstrumentModel::K5);
  EXPECT_EQ(SetTriggerLevel(2000, false, 6.0L).end, TriggerEnd::kTooHigh);
  EXPECT_EQ(bus.BytesWritten(), (Bytes{0xF3, 0x3F}));
}

// Unplugged right after the identify answer: the writes fail, and that must
// not read as a level set.
TEST_F(TriggerLevelTest, InstrumentGoneAfterTheIdentifyIsNoSuccess) {
  for (InstrumentModel model : {InstrumentModel::K5, InstrumentModel::K7}) {
    SCOPED_TRACE(ModelName(model));
    const std::string serial = Attach(model)->Serial();
    UnplugAfterTheIdentify(serial);
    EXPECT_EQ(SetTriggerLevel(200, false, 6.0L).end, TriggerEnd::kWriteFailed);
  }
}

// Pulled out after each step of the two memory writes: the text says which
// byte the instrument took, and the instrument agrees.
TEST_F(TriggerLevelTest, InstrumentGoneMidwayTellsWhichStepFailed) {
  const char* const kLevelNotSet =
      "The Kestrum went away while the trigger level was sent; the level was not set.";
  const char* const kFlashNotSet =
      "The trigger level was set, but the Kestrum went away while the flash option was sent; the "
      "flash option was not set.";
  const struct {
    InstrumentModel model;
    const char* step;  // the trace line after which the plug comes out
    int occurrence;
    bool levelTaken;
  } cases[] = {
      {InstrumentModel::K5, "write 05 07 -> 2", 1, false},
      {InstrumentModel::K5, "write 00 00 00 04 02 01 -> 6", 1, true},
      {InstrumentModel::K5, "write 05 07 -> 2", 2, true},
      {InstrumentModel::K6, "write 05 07 -> 2", 2, true},
      {InstrumentModel::K7, "write 57 -> 1", 1, false},
      {InstrumentModel::K7, "write 00 04 21 -> 3", 1, true},
      {InstrumentModel::K7, "write 57 -> 1", 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(ModelName(c.model)) + " after " + c.step + " #" +
                 std::to_string(c.occurrence));
    auto instrument = Attach(c.model);
    const std::string serial = instrument->Serial();
    int seen = 0;
    // Once the bytes written so far have reached the instrument, before the next write.
    SetPortTraceSink([this, serial, &c, &seen](const std::string& line) {
      if (line == c.step && ++seen == c.occurrence) {
        bus.UnplugAt(serial, bus.NowNs() + 8 * kNsPerMs);
      }
    });
    const std::uint8_t levelBefore = instrument->State().TriggerLevel();
    const std::uint8_t flashBefore = instrument->State().FlashOption();
    ASSERT_NE(levelBefore, 33);
    ASSERT_NE(flashBefore, kFlashOn);

    const TriggerOutcome outcome = SetTriggerLevel(200, true, 6.0L);

    EXPECT_EQ(outcome.end, TriggerEnd::kWriteFailed);
    EXPECT_STREQ(WriteFailedText(outcome), c.levelTaken ? kFlashNotSet : kLevelNotSet);
    EXPECT_EQ(instrument->State().TriggerLevel(), c.levelTaken ? 33 : levelBefore);
    EXPECT_EQ(instrument->State().FlashOption(), flashBefore);
    EXPECT_FALSE(bus.IsPlugged(serial));
  }
}

TEST_F(TriggerLevelTest, DetachedInstrumentGetsNothing) {
  Attach(InstrumentModel::K5);
  InstrumentAttached = false;
  EXPECT_EQ(SetTriggerLevel(200, false, 6.0L).end, TriggerEnd::kNotOpened);
  EXPECT_TRUE(bus.Log().empty());
  EXPECT_EQ(trace,
            (Lines{"close -> 1", "sleep 500", "sleep 100", "open SERK5 -> 0", "close -> 0"}));
}

}  // namespace
}  // namespace kestrum::testing
