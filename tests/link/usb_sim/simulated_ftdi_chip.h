// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An FTDI USB-serial chip as the host meets it over USB: its vendor
// requests, the serial line to an emulated instrument, a receive FIFO that
// the line fills at its rate and that overflows when the host does not
// fetch, and bulk IN packets that start with the two status bytes.

#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "emulator/emulated_instrument.h"

namespace kestrum::usbsim {

inline constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
inline constexpr std::int64_t kNsPerMs = 1000000;

struct ChipKind {
  const char* name;
  std::uint16_t product_id;
  std::uint16_t bcd_device;  // libftdi tells the chip type from this
  std::size_t receive_fifo;  // bytes the chip holds for the host
};
inline constexpr ChipKind kFT232R{"FT232R", 0x6001, 0x0600, 256};
inline constexpr ChipKind kFT230X{"FT230X", 0x6015, 0x1000, 512};

inline constexpr std::size_t kPacketSize = 64;
inline constexpr std::size_t kPacketPayload = kPacketSize - 2;

// Bits of the second status byte of every packet.
inline constexpr std::uint8_t kLineOverrun = 0x02;
inline constexpr std::uint8_t kLineFraming = 0x08;

// The vendor requests of the chip.
inline constexpr std::uint8_t kRequestReset = 0x00;
inline constexpr std::uint8_t kRequestModemControl = 0x01;
inline constexpr std::uint8_t kRequestFlowControl = 0x02;
inline constexpr std::uint8_t kRequestBaudRate = 0x03;
inline constexpr std::uint8_t kRequestData = 0x04;
inline constexpr std::uint8_t kRequestModemStatus = 0x05;
inline constexpr std::uint8_t kRequestSetLatency = 0x09;
inline constexpr std::uint8_t kRequestGetLatency = 0x0A;

struct ChipLine {
  double baud = 9600;
  std::uint16_t data = 0x0008;  // 8 bits, no parity, 1 stop bit
  std::uint16_t flow = 0;
};

class SimulatedFtdiChip {
 public:
  SimulatedFtdiChip(ChipKind kind, std::shared_ptr<EmulatedInstrument> instrument);

  const ChipKind& Kind() const { return kind_; }
  EmulatedInstrument& Instrument() { return *instrument_; }
  const ChipLine& Line() const { return line_; }
  int LatencyMs() const { return latency_ms_; }
  std::size_t FifoBytes() const { return fifo_.size(); }
  std::uint64_t BytesDropped() const { return dropped_; }

  // Returns the bytes answered for an IN request, 0 for OUT, negative for a
  // request the chip does not know.
  int Vendor(std::uint8_t request, std::uint16_t value, std::uint16_t index, std::uint8_t* data,
             std::uint16_t length, std::int64_t now);
  // A bulk OUT: the bytes leave on the line one after the other.
  void HostSends(const std::uint8_t* data, std::size_t count, std::int64_t now);

  // The next byte to reach the instrument, or the FIFO, at this time.
  std::int64_t NextToInstrument() const;
  std::int64_t NextToFifo() const;
  void DeliverToInstrument();
  bool FifoFull() const { return fifo_.size() >= kind_.receive_fifo; }
  // Into the FIFO, or dropped with the overrun bit set when it is full.
  void ArriveAtFifo();
  // When an IN token would be answered: at once with a full packet's worth,
  // else when the latency timer runs out.
  std::int64_t PacketDue(std::int64_t now) const;
  std::vector<std::uint8_t> TakePacket(std::int64_t now);

  // Faults: the next byte from the line is lost as if the FIFO were full;
  // the chip is unplugged once the host has been sent this many data bytes.
  void ForceOverrun() { force_overrun_ = true; }
  std::optional<std::int64_t> UnplugAt() const { return unplug_at_; }

 private:
  struct TimedByte {
    std::int64_t time;
    std::uint8_t byte;
    bool garbled;
  };
  bool LineMatches(std::uint32_t instrument_baud) const;

  ChipKind kind_;
  std::shared_ptr<EmulatedInstrument> instrument_;
  ChipLine line_;
  int latency_ms_ = 16;
  std::deque<TimedByte> to_instrument_;
  std::deque<TimedByte> to_host_;
  std::deque<std::uint8_t> fifo_;
  std::int64_t tx_free_ = 0;
  std::int64_t rx_free_ = 0;
  std::int64_t last_packet_ = 0;
  std::uint8_t line_status_ = 0;
  bool force_overrun_ = false;
  std::uint64_t dropped_ = 0;
  std::optional<std::int64_t> unplug_at_;
};

}  // namespace kestrum::usbsim
