// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The erase command: empty the instrument's measurement memory after the
// user confirms. K5-K7: reset the memory header, then the erase command; the
// K8 has one erase frame.

#include <cstdint>
#include <string>

#include "commands/command_window.h"

namespace kestrum {

inline constexpr char kEraseConfirmText[] =
    "The measurements in the Vellgas will be erased! If you have not saved them, you will lose "
    "them!";
inline constexpr char kErasingText[] = "Erasing Kestrum";
inline constexpr char kErasedText[] = "Kestrum ERASED";

inline constexpr std::uint8_t kEraseAcknowledged = 0x65;  // 'e'
inline constexpr std::uint8_t kNoAcknowledgement = 0x00;

// The acknowledgement of the erase in progress: kNoAcknowledgement from the
// start of each confirmed erase until this erase's instrument answers in full.
extern std::uint8_t EraseResult;

enum class EraseEnd {
  kCancelled,        // nothing sent, the device not touched
  kNotOpened,        // open failed or no instrument attached
  kUnknownModel,     // the identify answer named no K5-K7; nothing written
  kWriteFailed,      // a write did not go out whole (unplugged)
  kNotAcknowledged,  // the instrument did not answer 'e' (a K8, whose answer
                     // says nothing: it went away during the wait)
  kErased,
};

struct EraseOutcome {
  EraseEnd end = EraseEnd::kCancelled;
  std::uint8_t modelCode = 0;  // K5-K7 identify answer
  std::string openFailure;     // kNotOpened: why, as the open said it
};

// What the confirmation adds to its text: one more line, and whether Cancel
// rather than OK is the default button. Empty: the question as it always was.
struct EraseQuestion {
  std::string extraLine;
  bool cancelIsDefault = false;
};

// Whatever its end, the window's status timer blanks the text it left.
EraseOutcome EraseInstrument(CommandWindow& window, const EraseQuestion& question = {});

}  // namespace kestrum
