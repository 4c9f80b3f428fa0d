// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "commands/clock_sync.h"

namespace kestrum::testing {
namespace {

// Tuesday 5 March 2024, 14:07:09.
const DateTime kClick = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);

class ClockSyncTest : public CommandTest {};

TEST(ClockFieldsTest, PacksEachFieldAsBcd) {
  const ClockFields f = TakeClockFields(kClick);
  EXPECT_EQ(f.seconds, 0x09);
  EXPECT_EQ(f.minutes, 0x07);
  EXPECT_EQ(f.hours, 0x14);
  EXPECT_EQ(f.day, 0x05);
  EXPECT_EQ(f.weekday, 0x03);  // Tuesday
  EXPECT_EQ(f.month, 0x03);
  EXPECT_EQ(f.year, 0x24);

  const ClockFields late = TakeClockFields(EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 0));
  EXPECT_EQ(late.hours, 0x23);
  EXPECT_EQ(late.minutes, 0x59);
  EXPECT_EQ(late.year, 0x99);
  EXPECT_EQ(late.weekday, 0x06);  // a Friday
  EXPECT_EQ(TakeClockFields(EncodeDate(2000, 1, 2)).year, 0x00);
  EXPECT_EQ(TakeClockFields(EncodeDate(2000, 1, 2)).weekday, 0x01);  // a Sunday
  EXPECT_EQ(TakeClockFields(EncodeDate(2100, 6, 5)).year, 0x00);
  EXPECT_EQ(TakeClockFields(EncodeDate(2024, 3, 9)).weekday, 0x07);  // a Saturday
}

TEST_F(ClockSyncTest, K8GetsOneFrameWithWeekdayOne) {
  auto k8 = Attach(InstrumentModel::K8);
  const ClockOutcome outcome = SynchronizeClock([] { return kClick; }, window);

  EXPECT_EQ(outcome.end, ClockEnd::kSent);
  EXPECT_EQ(trace,
            (Lines{"open SERK8 -> 0", "data 8 0 0 -> 0", "flow 0 17 19 -> 0", "baud 230400 -> 0",
                   "write A3 53 54 09 07 14 05 01 03 24 0A -> 11", "sleep 100", "close -> 0"}));
  EXPECT_EQ(k8->State().clock_registers[2], 0x09);
  EXPECT_EQ(k8->State().clock_registers[6], 0x01);
  EXPECT_EQ(k8->State().clock_registers[8], 0x24);
  // No status text for a K8, nor a timer to blank it.
  EXPECT_EQ(window.events, (Lines{"confirm"}));
  EXPECT_FALSE(outcome.confirmed);
  EXPECT_EQ(window.questions,
            (std::vector<std::string>{
                "The Kestrum clock will be syncronized with the clock in your PC!"}));
}

Lines NibbleClockTrace(const std::string& serial) {
  Lines lines = {"open " + serial + " -> 0", "write F3 3F -> 2", "sleep 25", "read 2 -> 2"};
  for (const char* frame : {"00 02 00 09", "00 03 00 07", "00 04 01 04", "00 05 00 05",
                            "00 06 00 03", "00 07 00 03", "00 08 02 04"}) {
    for (const char* line : {"sleep 50", "write 04 -> 1", "write 03 -> 1", "sleep 5"}) {
      lines.push_back(line);
    }
    lines.push_back(std::string("write ") + frame + " -> 4");
  }
  lines.push_back("close -> 0");
  return lines;
}

TEST_F(ClockSyncTest, K5AndK6GetNibbleFramesPerRegister) {
  for (InstrumentModel model : {InstrumentModel::K5, InstrumentModel::K6}) {
    SCOPED_TRACE(ModelName(model));
    trace.clear();
    window = RecordingWindow();
    auto instrument = Attach(model);

    const ClockOutcome outcome = SynchronizeClock([] { return kClick; }, window);

    EXPECT_EQ(outcome.end, ClockEnd::kSent);
    EXPECT_EQ(trace, NibbleClockTrace(instrument->Serial()));
    const auto& registers = instrument->State().clock_registers;
    EXPECT_EQ(Bytes(registers.begin() + 2, registers.end()),
              (Bytes{0x09, 0x07, 0x14, 0x05, 0x03, 0x03, 0x24}));
    EXPECT_EQ(window.events, (Lines{"confirm", "status Clock updated"}));
    EXPECT_TRUE(outcome.confirmed);
    bus.Unplug(instrument->Serial());
  }
}

TEST_F(ClockSyncTest, K7GetsLetterFramesPerRegister) {
  auto k7 = Attach(InstrumentModel::K7);
  const ClockOutcome outcome = SynchronizeClock([] { return kClick; }, window);

  Lines expected = {"open SERK7 -> 0", "write F3 3F -> 2", "sleep 25", "read 2 -> 2"};
  for (const char* frame : {"02 09", "03 07", "04 14", "05 05", "06 03", "07 03", "08 24"}) {
    for (const std::string& line :
         {std::string("write 43 -> 1"), std::string("sleep 10"),
          std::string("write ") + frame + " -> 2", std::string("sleep 10")}) {
      expected.push_back(line);
    }
  }
  expected.push_back("close -> 0");
  EXPECT_EQ(outcome.end, ClockEnd::kSent);
  EXPECT_EQ(trace, expected);
  EXPECT_EQ(k7->State().clock_registers[4], 0x14);
  EXPECT_EQ(window.status, "Clock updated");
}

// The user answers 76 s after the click: the instrument gets the time of
// the answer, and the outcome says the time that was sent.
TEST_F(ClockSyncTest, TheClockIsReadWhenItIsWrittenNotWhenAsked) {
  auto k8 = Attach(InstrumentModel::K8);
  DateTime pc = kClick;
  window.whileAsking = [&] { pc += EncodeTime(0, 1, 16, 0); };
  const ClockOutcome outcome = SynchronizeClock([&] { return pc; }, window);
  ASSERT_EQ(outcome.end, ClockEnd::kSent);
  EXPECT_EQ(k8->State().clock_registers[2], 0x25);  // 14:08:25
  EXPECT_EQ(k8->State().clock_registers[3], 0x08);
  EXPECT_EQ(outcome.fields.seconds, 0x25);
}

TEST_F(ClockSyncTest, ConverterWithoutDownloadStillGetsTheClock) {
  auto k5 = Attach(InstrumentModel::K5, "FT230X Basic UART");
  EXPECT_EQ(SynchronizeClock([] { return kClick; }, window).end, ClockEnd::kSent);
  EXPECT_EQ(trace, NibbleClockTrace("SERK5"));
  EXPECT_EQ(k5->State().clock_registers[3], 0x07);
}

TEST_F(ClockSyncTest, CancelSendsNothing) {
  Attach(InstrumentModel::K5);
  window.answer = false;
  EXPECT_EQ(SynchronizeClock([] { return kClick; }, window).end, ClockEnd::kCancelled);
  EXPECT_TRUE(bus.Log().empty());
  EXPECT_EQ(trace, (Lines{"close -> 1"}));
  EXPECT_EQ(window.events, (Lines{"confirm"}));
}

TEST_F(ClockSyncTest, IdentifyAnswerCountsOnlyLowNibbles) {
  // A K7 whose identify answer reads 0x33 0x31 on the wire is taken for a K5.
  auto k7 = Attach(InstrumentModel::K7);
  k7->AnswerWrong({0x33, 0x31});
  const ClockOutcome outcome = SynchronizeClock([] { return kClick; }, window);
  EXPECT_EQ(outcome.modelCode, 0x31);
  EXPECT_EQ(trace, NibbleClockTrace("SERK7"));
  // A K5-K7 command applies no line settings.
  EXPECT_EQ(bus.LineSettingsOf("SERK7")->baud, 9600u);
}

TEST_F(ClockSyncTest, UnknownOrMissingIdentifyWritesNothing) {
  auto k5 = Attach(InstrumentModel::K5);
  k5->AnswerWrong({0x03, 0x04});
  EXPECT_EQ(SynchronizeClock([] { return kClick; }, window).end, ClockEnd::kUnknownModel);
  k5->SetSilent(true);
  EXPECT_EQ(SynchronizeClock([] { return kClick; }, window).end, ClockEnd::kUnknownModel);
  EXPECT_EQ(bus.BytesWritten(), (Bytes{0xF3, 0x3F, 0xF3, 0x3F}));
  EXPECT_EQ(window.status, "");
}

TEST_F(ClockSyncTest, InstrumentPulledHalfwayIsNotReportedUpdated) {
  Attach(InstrumentModel::K5);
  bus.UnplugAt("SERK5", bus.NowNs() + 200 * kNsPerMs);
  EXPECT_EQ(SynchronizeClock([] { return kClick; }, window).end, ClockEnd::kWriteFailed);
  EXPECT_EQ(window.status, "");
  EXPECT_EQ(window.events, (Lines{"confirm"}));
}

TEST_F(ClockSyncTest, K8NeverGetsTheIdentifyExchange) {
  Attach(InstrumentModel::K8);
  SynchronizeClock([] { return kClick; }, window);
  const Bytes written = bus.BytesWritten();
  EXPECT_EQ(written.front(), 0xA3);
  EXPECT_EQ(std::count(written.begin(), written.end(), 0xF3), 0);
}

}  // namespace
}  // namespace kestrum::testing
