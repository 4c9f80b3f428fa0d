// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The open instrument as a command and its wire dialect see it: bytes out,
// replies in, waits. Behind it is the port module (link/d2xx_unit.h), whose
// handle, buffers and line settings stay the module's own state; nothing
// above this object touches them. What the user should see of a read or a
// wait (progress, the seconds of a long wait, a cancel) goes to the
// command's one event sink, its CommandWindow.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "commands/command_window.h"
#include "link/d2xx_unit.h"
#include "records/result.h"

namespace kestrum {

// A reply as the receive buffer holds it, from its first byte.
struct Reply {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;

  std::uint8_t operator[](std::size_t index) const { return data[index]; }
  const std::uint8_t* begin() const { return data; }
  const std::uint8_t* end() const { return data + size; }
};

// How the last read that came short ended.
struct ReadShortfall {
  std::uint32_t received = 0;
  std::uint32_t requested = 0;
  ReadEnd end = ReadEnd::kComplete;
};

// Why an exchange stopped, and how much of the reply that came short arrived.
struct PortFailure {
  Failure failure;
  ReadShortfall shortfall;
};

// How a reply travels: raw bytes, or nibble-coded (link/nibble_coding.h),
// whose wire bytes an instrument fills with one high half throughout, so
// that bytes mixing them are known not to be its own.
enum class ReplyCoding { kRaw, kNibble };

class InstrumentPort {
 public:
  explicit InstrumentPort(CommandWindow& events) : events_(events) {}
  InstrumentPort(const InstrumentPort&) = delete;
  InstrumentPort& operator=(const InstrumentPort&) = delete;

  CommandWindow& Events() const { return events_; }

  void Close();

  // All of `bytes` in one write; fails, naming the counts, when fewer went out.
  Result<> Send(std::initializer_list<std::uint8_t> bytes);
  Result<> Send(const std::uint8_t* bytes, std::size_t count);

  // Reads `count` bytes. The reply covers max(count, width) bytes of the
  // receive buffer: a few replies are taken wider than they come, and the
  // bytes beyond still hold what an earlier reply left there. Fails when
  // fewer came, saying why for the user (a nibble-coded reply whose bytes
  // came garbled is told apart from one cut short); Shortfall() has the numbers.
  Result<Reply> Read(std::uint32_t count, std::size_t width = 0,
                     ReplyCoding coding = ReplyCoding::kRaw);
  // The same read shown to the events as the memory transfer, bytes as
  // they come; a cancel there ends it as a short read (ReadEnd::kCancelled).
  Result<Reply> ReadShowingProgress(std::uint32_t count, std::size_t width = 0,
                                    ReplyCoding coding = ReplyCoding::kRaw);
  const ReadShortfall& Shortfall() const { return shortfall_; }

  void Wait(int milliseconds);
  // A wait long enough to show: announced, counted each second, ended.
  void LongWait(int milliseconds);

  // After a read broken off while the instrument was sending: reads and
  // throws away what comes until the line has been quiet for kLineQuietMs
  // (a K7 goes on sending its memory for up to two minutes), so the rest is
  // not taken for the next replies. Fails when the events cancel the wait.
  Result<> DrainIfBusy();

  // Throws away what is in the converter's receive buffer; Purge also what
  // is in its transmit buffer, after.
  void PurgeReceive();
  void Purge();
  // 8 data bits, one stop bit, no parity, no flow control, 230,400 baud, in
  // this order: the K8's line.
  void SetK8Line();

 private:
  CommandWindow& events_;
  ReadShortfall shortfall_;
};

inline constexpr char kWaitingForInstrumentText[] = "Waiting for the instrument to finish sending";
inline constexpr int kLineQuietMs = 250;

// Texts of a reply that came short and of a command that did not go out.
std::string IncompleteTransferText(std::uint32_t received, std::uint32_t requested);
std::string BytesLostText(std::uint32_t received, std::uint32_t requested);
// The converter left the bus during a read: "The Kestrum's converter went away
// (unplugged?) after 1000 of 131072 bytes. ..."
std::string ConverterGoneText(std::uint32_t received, std::uint32_t requested);
// A short nibble-coded reply whose bytes no instrument sends: "The reply
// from the Kestrum came garbled: ..."
std::string GarbledReplyText(std::uint32_t received, std::uint32_t requested);
std::string UnsentCommandText(std::uint32_t sent, std::uint32_t count);
inline constexpr char kDownloadCancelledText[] = "Download cancelled";

}  // namespace kestrum
