// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command cycle every instrument command follows: open by the detected
// serial number, go on only when the open worked and detection says an
// instrument is attached, the K8 line setup, the K5-K7 identify exchange,
// and the close at the end of every path (the caller's last step).

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "commands/command_window.h"
#include "records/result.h"

namespace kestrum {

class WireDialect;

// Identify answers of the K5-K7.
inline constexpr std::uint8_t kModelCodeK5 = 0x31;
inline constexpr std::uint8_t kModelCodeK6 = 0x32;
inline constexpr std::uint8_t kModelCodeK7 = 0x33;
// No complete identify answer came.
inline constexpr std::uint8_t kNoModelCode = 0x00;

// The K8 is told apart by its converter's description alone.
bool SelectedInstrumentIsK8();

// Opens SelectedInstrument.SerialNo; succeeds when the open returned 0 and
// InstrumentAttached is set. After a transfer that was broken off while the
// instrument was sending, it first waits until the line has been quiet for
// kLineQuietMs (a K7 goes on sending its memory for up to two minutes), so
// the rest is not taken for this command's replies; fails when that wait
// was cancelled.
Result<> OpenSelectedInstrument();

inline constexpr char kWaitingForInstrumentText[] = "Waiting for the instrument to finish sending";
inline constexpr int kLineQuietMs = 250;

// How the window shows that wait: `progress` is told the bytes thrown away
// so far and returns false to cancel the command.
struct LineDrainDisplay {
  std::function<void()> begins;
  std::function<bool(std::uint32_t drained)> progress;
  std::function<void()> ends;
};
void SetLineDrainDisplay(LineDrainDisplay display);

// 8 data bits, one stop bit, no parity, no flow control, 230,400 baud, in
// this order through the port module's settings.
void K8LineSetup();

inline constexpr std::uint32_t kIdentifyReply = 2;

// F3 3F, 25 ms, a 2-byte answer; its nibble value is the model code. An
// answer that does not arrive in full gives kNoModelCode rather than
// whatever an earlier reply left in the receive buffer. `received`, if
// given, gets the count that arrived.
std::uint8_t IdentifyExchange(std::uint32_t* received = nullptr);

// The dialect the selected instrument speaks, chosen once per command.
struct DialectChoice {
  // Null when the identify answer named no K5-K7 or did not come in full.
  const WireDialect* dialect = nullptr;
  // The K5-K7 identify answer; kNoModelCode for a K8.
  std::uint8_t modelCode = kNoModelCode;
  // The identify answer's byte count (kIdentifyReply when it came whole).
  std::uint32_t identifyReceived = 0;
  // A step before the identify exchange failed; nothing more is to be sent.
  bool stopped = false;
};

// What a command does around the K5-K7 identify exchange.
struct IdentifySteps {
  // Runs first; false stops the command.
  std::function<bool()> before;
  int waitAfterMs = 0;
};

// After the open: the K8 by its converter's description, with no exchange;
// a K5-K7 by the identify exchange.
DialectChoice ChooseDialect(const IdentifySteps& steps = {});
// The identify exchange alone, for what only the K5-K7 have (the trigger
// level): a K8 does not answer it.
DialectChoice ChooseDialectByIdentify(const IdentifySteps& steps = {});

// One of the erase's long waits, announced to the window so it can count the
// seconds meanwhile.
void LongWait(CommandWindow& window, int milliseconds);

// Fills FTOutBuffer from byte 0 and writes them; returns the count written.
std::uint32_t SendBytes(std::initializer_list<std::uint8_t> bytes);

}  // namespace kestrum
