// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/usb_sim/simulated_ftdi_chip.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace kestrum::usbsim {
namespace {

constexpr std::uint16_t kPurgeFromHost = 1;  // bytes waiting to go out on the line
constexpr std::uint16_t kPurgeToHost = 2;    // the receive FIFO

// Sub-integer divisor steps in eighths, by their three-bit code.
constexpr int kEighths[8] = {0, 4, 2, 1, 3, 5, 6, 7};

double BaudFromDivisor(std::uint16_t value, std::uint16_t index) {
  const int whole = value & 0x3FFF;
  const int code = (value >> 14) | ((index & 1) << 2);
  if (whole == 0 && code == 0) return 3000000.0;
  if (whole == 1 && code == 0) return 2000000.0;
  return 3000000.0 / (whole + kEighths[code] / 8.0);
}

std::int64_t ByteTime(double baud) {
  return std::llround(10.0e9 / baud);
}

}  // namespace

SimulatedFtdiChip::SimulatedFtdiChip(ChipKind kind, std::shared_ptr<EmulatedInstrument> instrument)
    : kind_(kind), instrument_(std::move(instrument)) {}

int SimulatedFtdiChip::Vendor(std::uint8_t request, std::uint16_t value, std::uint16_t index,
                              std::uint8_t* data, std::uint16_t length, std::int64_t now) {
  switch (request) {
    case kRequestReset:
      // A reset empties the buffers but keeps the data format and flow
      // control: the next program inherits what the last one set.
      if (value == 0 || value == kPurgeToHost) {
        fifo_.clear();
        to_host_.erase(std::remove_if(to_host_.begin(), to_host_.end(),
                                      [now](const TimedByte& b) { return b.time <= now; }),
                       to_host_.end());
      }
      if (value == 0 || value == kPurgeFromHost) {
        to_instrument_.erase(std::remove_if(to_instrument_.begin(), to_instrument_.end(),
                                            [now](const TimedByte& b) { return b.time > now; }),
                             to_instrument_.end());
        tx_free_ = now;
      }
      return 0;
    case kRequestModemControl:
      return 0;
    case kRequestFlowControl:
      line_.flow = static_cast<std::uint16_t>(index & 0xFF00);
      return 0;
    case kRequestBaudRate:
      line_.baud = BaudFromDivisor(value, index);
      return 0;
    case kRequestData:
      line_.data = value;
      return 0;
    case kRequestModemStatus:
      if (length < 2) return 0;
      data[0] = 0x01;
      data[1] = 0x60;
      return 2;
    case kRequestSetLatency:
      latency_ms_ = std::max(1, value & 0xFF);
      return 0;
    case kRequestGetLatency:
      if (length < 1) return 0;
      data[0] = static_cast<std::uint8_t>(latency_ms_);
      return 1;
    default:
      return -1;
  }
}

bool SimulatedFtdiChip::LineMatches(std::uint32_t instrument_baud) const {
  // A UART copes with a few per cent; 8 data bits, no parity.
  const bool rate = std::fabs(line_.baud - instrument_baud) <= 0.03 * instrument_baud;
  return rate && line_.data == 0x0008;
}

void SimulatedFtdiChip::HostSends(const std::uint8_t* data, std::size_t count, std::int64_t now) {
  const std::int64_t byte_time = ByteTime(line_.baud);
  const bool garbled = !LineMatches(instrument_->LineBaud());
  std::int64_t time = std::max(now, tx_free_);
  for (std::size_t i = 0; i < count; ++i) {
    time += byte_time;
    to_instrument_.push_back({time, data[i], garbled});
  }
  tx_free_ = time;
}

std::int64_t SimulatedFtdiChip::NextToInstrument() const {
  return to_instrument_.empty() ? kNever : to_instrument_.front().time;
}

std::int64_t SimulatedFtdiChip::NextToFifo() const {
  return to_host_.empty() ? kNever : to_host_.front().time;
}

void SimulatedFtdiChip::DeliverToInstrument() {
  const TimedByte arrived = to_instrument_.front();
  to_instrument_.pop_front();
  if (arrived.garbled) return;
  const DialectReply reply = instrument_->Receive(arrived.byte);
  if (reply.bytes.empty()) return;
  const std::int64_t byte_time = ByteTime(instrument_->LineBaud());
  const bool garbled = !LineMatches(instrument_->LineBaud());
  std::optional<std::uint64_t> until_unplug = instrument_->BytesUntilUnplug();
  std::int64_t time = std::max(arrived.time + reply.delay_ns, rx_free_);
  for (std::uint8_t byte : reply.bytes) {
    if (until_unplug && *until_unplug == 0) break;
    time += byte_time;
    to_host_.push_back({time, byte, garbled});
    rx_free_ = time;
    if (until_unplug) --*until_unplug;
  }
  if (until_unplug) {
    if (*until_unplug == 0) {
      unplug_at_ = std::min(unplug_at_.value_or(kNever), time + 1);
      instrument_->ClearUnplugAfterSending();
    } else {
      instrument_->UnplugAfterSending(*until_unplug);
    }
  }
}

void SimulatedFtdiChip::ArriveAtFifo() {
  const TimedByte arrived = to_host_.front();
  to_host_.pop_front();
  if (FifoFull() || force_overrun_) {
    force_overrun_ = false;
    line_status_ |= kLineOverrun;
    ++dropped_;
    return;
  }
  if (arrived.garbled) line_status_ |= kLineFraming;
  fifo_.push_back(arrived.garbled ? static_cast<std::uint8_t>(arrived.byte ^ 0x5A) : arrived.byte);
}

std::int64_t SimulatedFtdiChip::PacketDue(std::int64_t now) const {
  if (fifo_.size() >= kPacketPayload) return now;
  return std::max(now, last_packet_ + latency_ms_ * kNsPerMs);
}

std::vector<std::uint8_t> SimulatedFtdiChip::TakePacket(std::int64_t now) {
  const std::size_t n = std::min(fifo_.size(), kPacketPayload);
  std::vector<std::uint8_t> packet(2 + n);
  packet[0] = 0x01;
  packet[1] = static_cast<std::uint8_t>(0x60 | line_status_);
  line_status_ = 0;
  std::copy_n(fifo_.begin(), n, packet.begin() + 2);
  fifo_.erase(fifo_.begin(), fifo_.begin() + static_cast<std::ptrdiff_t>(n));
  last_packet_ = now;
  return packet;
}

}  // namespace kestrum::usbsim
