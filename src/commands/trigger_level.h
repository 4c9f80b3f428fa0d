// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Button1Click's work in the trigger-level dialog: the radon level at which
// the instrument's indicator turns from green to red, converted into pulses,
// and the flash option, written into instrument memory bytes 4 and 5.

#include <cstdint>
#include <optional>
#include <string>

#include "commands/command_window.h"
#include "records/measurement_store.h"

namespace kestrum {

// The dialog's up-down control.
inline constexpr int kTriggerPositionMin = 50;
inline constexpr int kTriggerPositionMax = 2000;
inline constexpr int kTriggerPositionStep = 25;
inline constexpr int kTriggerPositionStart = 200;
// The level travels as one byte.
inline constexpr int kTriggerLevelMaxPulses = 255;

inline constexpr std::uint8_t kFlashOn = 2;
inline constexpr std::uint8_t kFlashOff = 0;

inline constexpr char kLevelNotSetText[] =
    "The Kestrum went away while the trigger level was sent; the level was not set.";
inline constexpr char kFlashNotSetText[] =
    "The trigger level was set, but the Kestrum went away while the flash option was sent; "
    "the flash option was not set.";

// trunc(position / factor); nothing when it does not fit one byte (or the
// factor is not positive), so a level can never wrap to a low one.
std::optional<int> TriggerLevelPulses(int position, Extended calibrationFactor);

// The highest position of the up-down control (50, 75, ... 2000) whose level
// fits 255 pulses at this factor; 50 when none does.
int HighestFittingPosition(Extended calibrationFactor);

enum class TriggerEnd {
  kNotOpened,     // open failed or no instrument attached
  kUnknownModel,  // no K5-K7 identify answer (a K8 among others); nothing written
  kTooHigh,       // the level does not fit one byte; nothing written
  kWriteFailed,   // a write did not go out whole (unplugged); levelSent tells which
  kSent,
};

struct TriggerOutcome {
  TriggerEnd end = TriggerEnd::kNotOpened;
  std::uint8_t modelCode = 0;
  int level = 0;  // pulses, when computed
  // The level's write went out whole; with kWriteFailed, the flash option's
  // did not.
  bool levelSent = false;
  std::string openFailure;  // kNotOpened: why, as the open said it
};

// What the user is told of kWriteFailed: kLevelNotSetText, or
// kFlashNotSetText when only the flash option's write failed.
const char* WriteFailedText(const TriggerOutcome& outcome);

// The whole exchange: close, 500 + 100 ms, open, identify, the two memory
// writes in the instrument's dialect, close. `events` shows the wait for a
// line still busy; none: nothing is shown.
TriggerOutcome SetTriggerLevel(int position, bool flash, Extended calibrationFactor,
                               CommandWindow* events = nullptr);

}  // namespace kestrum
