// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clock command: set the instrument's real-time clock to the PC's
// local date and time, after the user confirms.

#include <functional>
#include <string>

#include "commands/clock_fields.h"
#include "commands/command_window.h"

namespace kestrum {

inline constexpr char kClockConfirmText[] =
    "The Kestrum clock will be syncronized with the clock in your PC!";
inline constexpr char kClockUpdatedText[] = "Clock updated";

enum class ClockEnd {
  kCancelled,     // nothing sent
  kNotOpened,     // open failed or no instrument attached
  kUnknownModel,  // the identify answer named no K5-K7; nothing written
  kWriteFailed,   // a clock write did not go out in full (unplugged)
  kSent,          // every frame went out ("Clock updated" for the K5-K7)
};

struct ClockOutcome {
  ClockEnd end = ClockEnd::kCancelled;
  ClockFields fields;
  std::uint8_t modelCode = 0;  // K5-K7 identify answer
  std::string openFailure;     // kNotOpened: why, as the open said it
  bool confirmed = false;      // kSent, and "Clock updated" said (K5-K7)
};

// The PC's clock, read when the fields are taken.
using PcClock = std::function<DateTime()>;

// Asks first; the fields are taken from `pcNow` immediately before the clock
// is written (after the answer and after any wait for an instrument still
// sending), so the instrument is set to the time it is set at, not to the
// time of the click.
ClockOutcome SynchronizeClock(const PcClock& pcNow, CommandWindow& window);

// The exchange alone, once confirmed.
ClockOutcome SendClockFields(const PcClock& pcNow, CommandWindow& window);

}  // namespace kestrum
