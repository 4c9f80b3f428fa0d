#pragma once
// The command cycle every instrument command follows: open by the detected
// serial number, go on only when the open worked and detection says an
// instrument is attached, the K8 line setup, the K5-K7 identify exchange,
// and the close at the end of every path (the caller's last step).

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

namespace kestrum {

// Identify answers of the K5-K7.
inline constexpr std::uint8_t kModelCodeK5 = 0x31;
inline constexpr std::uint8_t kModelCodeK6 = 0x32;
inline constexpr std::uint8_t kModelCodeK7 = 0x33;
// No complete identify answer came.
inline constexpr std::uint8_t kNoModelCode = 0x00;

// The K8 is told apart by its converter's description alone.
bool SelectedInstrumentIsK8();

// Opens SelectedInstrument.SerialNo; true when the open returned 0 and
// InstrumentAttached is set. After a transfer that was broken off while the
// instrument was sending, it first waits until the line has been quiet for
// kLineQuietMs (a K7 goes on sending its memory for up to two minutes), so
// the rest is not taken for this command's replies; false when that wait
// was cancelled.
bool OpenSelectedInstrument();

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

// Fills FTOutBuffer from byte 0 and writes them; returns the count written.
std::uint32_t SendBytes(std::initializer_list<std::uint8_t> bytes);

}  // namespace kestrum
