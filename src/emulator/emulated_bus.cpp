// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/emulated_bus.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace kestrum {
namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
// A read lets the clock run at most this far before it reports progress,
// so the demo's progress dialog moves even at 9,600 baud.
constexpr std::int64_t kReadStepNs = 100 * kNsPerMs;

std::int64_t LineTime(std::int64_t start_ns, std::size_t byte_index, std::uint32_t baud) {
  return start_ns + std::llround(static_cast<double>(byte_index + 1) * ByteTimeNs(baud));
}

}  // namespace

EmulatedBus::EmulatedBus(TimeMode mode) : clock_(mode) {}

EmulatedBus::~EmulatedBus() = default;

void EmulatedBus::Plug(std::shared_ptr<EmulatedInstrument> instrument) {
  Plug(std::move(instrument), ports_.size());
}

void EmulatedBus::Plug(std::shared_ptr<EmulatedInstrument> instrument, std::size_t index) {
  if (!instrument || PortOf(instrument->Serial()) != nullptr) return;
  instrument->PowerCycle();
  auto port = std::make_unique<Port>();
  port->instrument = std::move(instrument);
  port->host_line_free_ns = clock_.NowNs();
  port->instrument_line_free_ns = clock_.NowNs();
  ports_.insert(ports_.begin() + static_cast<std::ptrdiff_t>(std::min(index, ports_.size())),
                std::move(port));
}

void EmulatedBus::Unplug(const std::string& serial) {
  if (Port* port = PortOf(serial)) Remove(*port);
}

void EmulatedBus::UnplugAt(const std::string& serial, std::int64_t time_ns) {
  if (Port* port = PortOf(serial)) {
    port->unplug_at_ns = std::min(port->unplug_at_ns.value_or(kNever), time_ns);
    SyncAll();
  }
}

bool EmulatedBus::IsPlugged(const std::string& serial) const {
  return PortOf(serial) != nullptr;
}

bool EmulatedBus::IsOpen(const std::string& serial) const {
  const Port* port = PortOf(serial);
  return port != nullptr && port->handle != 0;
}

std::vector<std::shared_ptr<EmulatedInstrument>> EmulatedBus::Instruments() const {
  std::vector<std::shared_ptr<EmulatedInstrument>> instruments;
  for (const auto& port : ports_) instruments.push_back(port->instrument);
  return instruments;
}

std::shared_ptr<EmulatedInstrument> EmulatedBus::Find(const std::string& serial) const {
  const Port* port = PortOf(serial);
  return port ? port->instrument : nullptr;
}

std::optional<LineSettings> EmulatedBus::LineSettingsOf(const std::string& serial) const {
  const Port* port = PortOf(serial);
  if (port == nullptr) return std::nullopt;
  return port->line;
}

void EmulatedBus::SetUnreadable(const std::string& serial, bool unreadable) {
  if (Port* port = PortOf(serial)) port->unreadable = unreadable;
}

void EmulatedBus::Sleep(int milliseconds) {
  if (milliseconds > 0) AdvanceTo(clock_.NowNs() + milliseconds * kNsPerMs);
}

std::function<void(int)> EmulatedBus::MakeSleeper() {
  return [this](int milliseconds) { Sleep(milliseconds); };
}

std::vector<std::uint8_t> EmulatedBus::BytesWritten() const {
  std::vector<std::uint8_t> bytes;
  for (const auto& entry : log_) {
    if (entry.direction == WireDirection::kToInstrument) bytes.push_back(entry.byte);
  }
  return bytes;
}

std::vector<std::uint8_t> EmulatedBus::BytesRead() const {
  std::vector<std::uint8_t> bytes;
  for (const auto& entry : log_) {
    if (entry.direction == WireDirection::kToHost) bytes.push_back(entry.byte);
  }
  return bytes;
}

EmulatedBus::Port* EmulatedBus::PortOf(FtHandle handle) const {
  if (handle == 0) return nullptr;
  for (const auto& port : ports_) {
    if (port->handle == handle) return port.get();
  }
  return nullptr;
}

EmulatedBus::Port* EmulatedBus::PortOf(const std::string& serial) const {
  for (const auto& port : ports_) {
    if (port->instrument->Serial() == serial) return port.get();
  }
  return nullptr;
}

FtStatus EmulatedBus::HandleError(FtHandle handle) const {
  return dead_handles_.count(handle) != 0 ? FT_IO_ERROR : FT_INVALID_HANDLE;
}

void EmulatedBus::Deliver(Port& port, const TimedByte& arrived) {
  EmulatedInstrument& instrument = *port.instrument;
  // At a rate the instrument does not talk, the byte arrives garbled.
  if (port.line.baud != instrument.LineBaud()) return;
  const DialectReply reply = instrument.Receive(arrived.byte);
  if (reply.bytes.empty()) return;

  const std::int64_t start =
      std::max(arrived.time_ns + reply.delay_ns, port.instrument_line_free_ns);
  std::optional<std::uint64_t> until_unplug = instrument.BytesUntilUnplug();
  for (std::size_t i = 0; i < reply.bytes.size(); ++i) {
    if (until_unplug && *until_unplug == 0) {
      port.unplug_at_ns = std::min(port.unplug_at_ns.value_or(kNever), start + 1);
      break;
    }
    const std::int64_t time = LineTime(start, i, port.line.baud);
    port.to_host.push_back({time, reply.bytes[i]});
    port.instrument_line_free_ns = time;
    if (until_unplug && --*until_unplug == 0) {
      // The plug comes out right after this byte.
      port.unplug_at_ns = std::min(port.unplug_at_ns.value_or(kNever), time + 1);
      break;
    }
  }
  if (until_unplug && *until_unplug > 0) {
    instrument.UnplugAfterSending(*until_unplug);
  } else if (until_unplug) {
    instrument.ClearUnplugAfterSending();
  }
}

void EmulatedBus::Sync(Port& port, std::int64_t time_ns) {
  // Bytes reaching the instrument before the plug comes out are acted on.
  while (!port.to_instrument.empty()) {
    const TimedByte next = port.to_instrument.front();
    const std::int64_t limit = std::min(time_ns, port.unplug_at_ns.value_or(kNever) - 1);
    if (next.time_ns > limit) break;
    port.to_instrument.pop_front();
    Deliver(port, next);
  }
}

void EmulatedBus::SyncAll() {
  const std::int64_t now = clock_.NowNs();
  std::vector<Port*> due;
  for (const auto& port : ports_) {
    Sync(*port, now);
    if (port->unplug_at_ns && *port->unplug_at_ns <= now) due.push_back(port.get());
  }
  for (Port* port : due) Remove(*port);
}

void EmulatedBus::Remove(Port& port) {
  if (port.handle != 0) dead_handles_.insert(port.handle);
  port.instrument->PowerCycle();
  ports_.erase(std::find_if(ports_.begin(), ports_.end(),
                            [&port](const auto& p) { return p.get() == &port; }));
}

void EmulatedBus::AdvanceTo(std::int64_t time_ns) {
  clock_.AdvanceTo(time_ns);
  SyncAll();
}

template <std::size_t N>
FtStatus EmulatedBus::ListText(std::uint32_t index, std::array<char, N>& buffer, bool serial) {
  SyncAll();
  if (listing_fails_) return FT_IO_ERROR;
  if (index >= ports_.size()) return FT_DEVICE_NOT_FOUND;
  const Port& port = *ports_[index];
  if (port.unreadable) {
    access_denied_ = true;
    return FT_DEVICE_NOT_OPENED;
  }
  const std::string& text = serial ? port.instrument->Serial() : port.instrument->Description();
  std::memcpy(buffer.data(), text.data(), std::min(text.size(), N));
  if (text.size() < N) buffer[text.size()] = '\0';
  return FT_OK;
}

FtStatus EmulatedBus::ListDeviceCount(std::uint32_t* count) {
  SyncAll();
  if (listing_fails_) return FT_IO_ERROR;
  access_denied_ = false;
  *count = static_cast<std::uint32_t>(ports_.size());
  return FT_OK;
}

FtStatus EmulatedBus::ListDescription(std::uint32_t index, FtDescriptionBuffer& buffer) {
  return ListText(index, buffer, false);
}

FtStatus EmulatedBus::ListSerialNumber(std::uint32_t index, FtSerialBuffer& buffer) {
  return ListText(index, buffer, true);
}

FtStatus EmulatedBus::OpenBySerialNumber(const char* serial, FtHandle* handle) {
  SyncAll();
  Port* port = PortOf(std::string(serial));
  if (port == nullptr) return FT_DEVICE_NOT_FOUND;
  if (port->handle != 0 || port->unreadable) return FT_DEVICE_NOT_OPENED;
  // Opening resets the converter: power-on line settings, receive buffer
  // empty. An instrument still sending goes on: what is on its way comes.
  port->line = LineSettings{};
  const std::int64_t now = clock_.NowNs();
  while (!port->to_host.empty() && port->to_host.front().time_ns <= now) {
    port->to_host.pop_front();
  }
  port->handle = next_handle_++;
  *handle = port->handle;
  return FT_OK;
}

FtStatus EmulatedBus::Close(FtHandle handle) {
  if (PortOf(handle) == nullptr) {
    if (dead_handles_.erase(handle) != 0) return FT_OK;
    return FT_INVALID_HANDLE;
  }
  SyncAll();
  Port* port = PortOf(handle);
  if (port == nullptr) return FT_OK;
  // The converter still sends what it holds; the instrument acts on it.
  Sync(*port, kNever - 1);
  port->handle = 0;
  return FT_OK;
}

FtStatus EmulatedBus::Read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                           std::uint32_t* received, const FtReadProgress& progress) {
  return Receive(handle, buffer, count, received, progress, kReadSilenceNs);
}

FtStatus EmulatedBus::Drain(FtHandle handle, int quiet_ms, std::uint32_t* drained,
                            const FtReadProgress& progress) {
  return Receive(handle, nullptr, std::numeric_limits<std::uint32_t>::max(), drained, progress,
                 quiet_ms * kNsPerMs);
}

FtStatus EmulatedBus::Receive(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                              std::uint32_t* received, const FtReadProgress& progress,
                              std::int64_t silence_ns) {
  *received = 0;
  if (PortOf(handle) == nullptr) return HandleError(handle);
  const std::uint32_t transfer = next_transfer_++;
  SyncAll();
  std::uint32_t got = 0;
  std::int64_t last_activity = clock_.NowNs();
  FtStatus status = FT_OK;
  while (got < count) {
    Port* port = PortOf(handle);
    if (port == nullptr) {
      status = FT_IO_ERROR;
      break;
    }
    bool took = false;
    while (got < count && !port->to_host.empty() &&
           port->to_host.front().time_ns <= clock_.NowNs()) {
      const TimedByte byte = port->to_host.front();
      port->to_host.pop_front();
      if (buffer) buffer[got] = byte.byte;
      ++got;
      log_.push_back({byte.time_ns, WireDirection::kToHost, byte.byte, transfer});
      last_activity = std::max(last_activity, byte.time_ns);
      took = true;
    }
    if (took && progress && !progress(got)) break;
    if (got == count) break;
    // Only this device's events matter to the read; others move on with the clock.
    port = PortOf(handle);
    if (port == nullptr) continue;
    std::int64_t next = kNever;
    if (!port->to_host.empty()) next = port->to_host.front().time_ns;
    if (!port->to_instrument.empty()) next = std::min(next, port->to_instrument.front().time_ns);
    if (port->unplug_at_ns) next = std::min(next, *port->unplug_at_ns);
    const std::int64_t deadline = last_activity + silence_ns;
    if (next > deadline) {
      AdvanceTo(deadline);
      break;
    }
    AdvanceTo(std::max(next, NextReadStop(*port, count - got)));
  }
  *received = got;
  return status;
}

std::int64_t EmulatedBus::NextReadStop(const Port& port, std::uint32_t wanted) const {
  // Gathers the bytes already on their way in one step, up to the step
  // size and line time, without crossing a silent gap or the unplug.
  if (port.to_host.empty()) return 0;
  const std::int64_t limit =
      std::min(clock_.NowNs() + kReadStepNs, port.unplug_at_ns.value_or(kNever) - 1);
  const std::size_t n = std::min<std::size_t>({wanted, kReadStepBytes, port.to_host.size()});
  std::int64_t stop = port.to_host.front().time_ns;
  for (std::size_t i = 1; i < n; ++i) {
    const std::int64_t time = port.to_host[i].time_ns;
    if (time - stop > kReadSilenceNs || time > limit) break;
    stop = time;
  }
  return stop;
}

FtStatus EmulatedBus::Write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                            std::uint32_t* written) {
  *written = 0;
  if (PortOf(handle) == nullptr) return HandleError(handle);
  SyncAll();
  Port* port = PortOf(handle);
  if (port == nullptr) return FT_IO_ERROR;
  const std::uint32_t transfer = next_transfer_++;
  const std::int64_t now = clock_.NowNs();
  const std::int64_t start = std::max(now, port->host_line_free_ns);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int64_t arrival = LineTime(start, i, port->line.baud);
    port->to_instrument.push_back({arrival, buffer[i]});
    port->host_line_free_ns = arrival;
    log_.push_back({now, WireDirection::kToInstrument, buffer[i], transfer});
  }
  *written = count;
  return FT_OK;
}

FtStatus EmulatedBus::SetBaudRate(FtHandle handle, std::uint32_t baud) {
  if (PortOf(handle) == nullptr) return HandleError(handle);
  SyncAll();
  Port* port = PortOf(handle);
  if (port == nullptr) return FT_IO_ERROR;
  if (baud < 183 || baud > 3000000) return FT_INVALID_BAUD_RATE;
  port->line.baud = baud;
  return FT_OK;
}

FtStatus EmulatedBus::SetDataCharacteristics(FtHandle handle, std::uint8_t word_length,
                                             std::uint8_t stop_bits, std::uint8_t parity) {
  if (PortOf(handle) == nullptr) return HandleError(handle);
  SyncAll();
  Port* port = PortOf(handle);
  if (port == nullptr) return FT_IO_ERROR;
  if ((word_length != 7 && word_length != 8) || stop_bits > 2 || parity > 4) {
    return FT_INVALID_PARAMETER;
  }
  port->line.word_length = word_length;
  port->line.stop_bits = stop_bits;
  port->line.parity = parity;
  return FT_OK;
}

FtStatus EmulatedBus::SetFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                                     std::uint8_t xoff) {
  if (PortOf(handle) == nullptr) return HandleError(handle);
  SyncAll();
  Port* port = PortOf(handle);
  if (port == nullptr) return FT_IO_ERROR;
  if (mode != 0 && mode != 0x0100 && mode != 0x0200 && mode != 0x0400) {
    return FT_INVALID_PARAMETER;
  }
  port->line.flow_control = mode;
  port->line.xon = xon;
  port->line.xoff = xoff;
  return FT_OK;
}

FtStatus EmulatedBus::Purge(FtHandle handle, std::uint32_t mask) {
  if (PortOf(handle) == nullptr) return HandleError(handle);
  SyncAll();
  Port* port = PortOf(handle);
  if (port == nullptr) return FT_IO_ERROR;
  const std::int64_t now = clock_.NowNs();
  if ((mask & FT_PURGE_RX) != 0) {
    // What has reached the converter goes; bytes still on the line come later.
    while (!port->to_host.empty() && port->to_host.front().time_ns <= now) {
      port->to_host.pop_front();
    }
  }
  if ((mask & FT_PURGE_TX) != 0) {
    port->to_instrument.clear();
    port->host_line_free_ns = now;
  }
  return FT_OK;
}

}  // namespace kestrum
