// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ftdi_receiver.h"

#include <libusb.h>

#include <algorithm>

#include "link/ftdi_packets.h"

namespace kestrum {
namespace {
ReceiverWaitObserver g_wait_observer;
}  // namespace

void SetReceiverWaitObserver(ReceiverWaitObserver observer) {
  g_wait_observer = std::move(observer);
}

FtdiReceiver::FtdiReceiver(libusb_device_handle* handle, unsigned char endpoint, int packet_size)
    : handle_(handle), endpoint_(endpoint), packet_size_(packet_size), ring_(kRingBytes) {
  thread_ = std::thread([this] { Run(); });
}

FtdiReceiver::~FtdiReceiver() {
  Stop();
}

void FtdiReceiver::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    SetWaitingLocked(true);
  }
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  SetWaitingLocked(false);
}

void FtdiReceiver::SetWaitingLocked(bool waiting) {
  if (waiting == waiting_) return;
  waiting_ = waiting;
  if (g_wait_observer) g_wait_observer(waiting);
}

void FtdiReceiver::Run() {
  std::vector<std::uint8_t> transfer(static_cast<std::size_t>(kTransferPackets * packet_size_));
  FtdiPayload payload;
  for (;;) {
    std::uint64_t epoch = 0;
    std::uint64_t serial = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
      epoch = epoch_;
      serial = ++submitted_;
    }
    int actual = 0;
    const int result =
        libusb_bulk_transfer(handle_, endpoint_, transfer.data(), static_cast<int>(transfer.size()),
                             &actual, kTransferTimeoutMs);
    payload.bytes.clear();
    payload.line_faults = 0;
    SplitFtdiPackets(transfer.data(), actual, packet_size_, payload);

    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = serial;
    arrived_.notify_all();
    if (stop_) return;
    const bool news = !payload.bytes.empty() || payload.line_faults != 0 ||
                      result != LIBUSB_SUCCESS || epoch != epoch_;
    // The program has something to look at: it stops waiting.
    if (news) SetWaitingLocked(false);
    if (epoch == epoch_) {
      for (std::uint8_t byte : payload.bytes) {
        if (size_ == ring_.size()) {
          bytes_lost_ = true;
          break;
        }
        ring_[(head_ + size_) % ring_.size()] = byte;
        ++size_;
      }
      if (payload.line_faults != 0) bytes_lost_ = true;
    }
    if (result != LIBUSB_SUCCESS && result != LIBUSB_ERROR_TIMEOUT &&
        result != LIBUSB_ERROR_INTERRUPTED) {
      // Unplugged, or the endpoint stalled: nothing more will come.
      device_gone_ = true;
      arrived_.notify_all();
      return;
    }
    if (!payload.bytes.empty() || bytes_lost_) arrived_.notify_all();
  }
}

std::size_t FtdiReceiver::TakeLocked(std::uint8_t* out, std::size_t count) {
  const std::size_t n = std::min(count, size_);
  for (std::size_t i = 0; i < n; ++i) {
    if (out) out[i] = ring_[(head_ + i) % ring_.size()];
  }
  head_ = (head_ + n) % ring_.size();
  size_ -= n;
  return n;
}

FtStatus FtdiReceiver::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* received,
                            const FtReadProgress& progress, std::chrono::milliseconds silence) {
  std::uint32_t got = 0;
  FtStatus status = FT_OK;
  auto last_byte = Clock::now();
  std::unique_lock<std::mutex> lock(mutex_);
  while (got < count) {
    if (bytes_lost_) {
      // What follows a lost byte is out of place: the reply is spoilt.
      bytes_lost_ = false;
      status = FT_BYTES_LOST;
      break;
    }
    if (size_ > 0) {
      got += static_cast<std::uint32_t>(TakeLocked(buffer + got, count - got));
      last_byte = Clock::now();
      if (progress) {
        // The window may run its event loop here; the thread goes on filling the ring.
        lock.unlock();
        const bool go_on = progress(got);
        lock.lock();
        if (!go_on) break;
      }
      continue;
    }
    if (device_gone_) {
      status = FT_IO_ERROR;
      break;
    }
    const auto deadline = last_byte + silence;
    if (Clock::now() >= deadline) break;
    SetWaitingLocked(true);
    arrived_.wait_until(lock, deadline);
  }
  SetWaitingLocked(false);
  *received = got;
  return status;
}

FtStatus FtdiReceiver::Drain(std::chrono::milliseconds quiet, std::uint32_t* drained,
                             const FtReadProgress& progress) {
  std::uint32_t total = 0;
  auto last_byte = Clock::now();
  std::unique_lock<std::mutex> lock(mutex_);
  FtStatus status = FT_OK;
  for (;;) {
    bytes_lost_ = false;
    if (size_ > 0) {
      total += static_cast<std::uint32_t>(TakeLocked(nullptr, size_));
      last_byte = Clock::now();
    }
    if (device_gone_) {
      status = FT_IO_ERROR;
      break;
    }
    if (progress) {
      lock.unlock();
      const bool go_on = progress(total);
      lock.lock();
      if (!go_on) break;
    }
    const auto deadline = last_byte + quiet;
    if (Clock::now() >= deadline) break;
    // Short waits, so that the window stays alive meanwhile.
    SetWaitingLocked(true);
    arrived_.wait_until(lock, std::min(deadline, Clock::now() + std::chrono::milliseconds(50)));
  }
  SetWaitingLocked(false);
  *drained = total;
  return status;
}

void FtdiReceiver::Purge() {
  std::unique_lock<std::mutex> lock(mutex_);
  ++epoch_;
  head_ = 0;
  size_ = 0;
  bytes_lost_ = false;
  // The transfer in flight may bring bytes from before the purge. Wait for
  // it (a latency period) so that it cannot also carry the reply to the
  // command sent next: all it brings is thrown away.
  const std::uint64_t in_flight = submitted_;
  SetWaitingLocked(true);
  arrived_.wait_for(lock, std::chrono::milliseconds(kTransferTimeoutMs * 2),
                    [&] { return finished_ >= in_flight || device_gone_ || stop_; });
  SetWaitingLocked(false);
}

}  // namespace kestrum
