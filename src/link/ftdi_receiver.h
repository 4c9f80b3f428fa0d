// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps an open FTDI converter drained from open to close. The chip holds
// only a few hundred received bytes (11 ms of line time at 230,400 baud)
// and drops the rest, so a thread of its own keeps a bulk IN transfer in
// flight at all times and moves the data into a ring; the program's reads
// take from the ring whenever the window lets them. Only this thread reads
// the device; it never touches the libftdi context.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "link/ft_driver.h"
#include "link/ft_status.h"

struct libusb_device_handle;

namespace kestrum {

// Told whenever the program's thread starts or stops waiting on the
// receiver: for bytes, for the transfer a purge waits out, or for the
// thread to end. The simulated converters of the tests let their clock run
// only meanwhile, as real time would pass only then.
using ReceiverWaitObserver = std::function<void(bool waiting)>;
void SetReceiverWaitObserver(ReceiverWaitObserver observer);

class FtdiReceiver {
 public:
  // Room for the largest reply the program asks for, and more.
  static constexpr std::size_t kRingBytes = 256 * 1024;
  // Bytes asked of one bulk IN transfer (whole packets).
  static constexpr int kTransferPackets = 64;
  static constexpr unsigned int kTransferTimeoutMs = 100;

  FtdiReceiver(libusb_device_handle* handle, unsigned char endpoint, int packet_size);
  ~FtdiReceiver();
  FtdiReceiver(const FtdiReceiver&) = delete;
  FtdiReceiver& operator=(const FtdiReceiver&) = delete;

  // Takes `count` bytes from the ring as they come. Ends early when nothing
  // came for `silence` (FT_OK, short), when `progress` says stop (FT_OK,
  // short), when bytes were lost on the line (FT_BYTES_LOST) or when the
  // device went away (FT_IO_ERROR).
  FtStatus Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t* received,
                const FtReadProgress& progress, std::chrono::milliseconds silence);
  // Throws away what comes until nothing has come for `quiet`.
  FtStatus Drain(std::chrono::milliseconds quiet, std::uint32_t* drained,
                 const FtReadProgress& progress);
  // Empties the ring and throws away what the transfer in flight brings,
  // waiting for it to come back; called once the chip's own buffer was
  // flushed.
  void Purge();
  // Ends the thread; the handle may be closed after this.
  void Stop();

 private:
  using Clock = std::chrono::steady_clock;
  void Run();
  std::size_t TakeLocked(std::uint8_t* out, std::size_t count);
  void SetWaitingLocked(bool waiting);

  libusb_device_handle* handle_;
  unsigned char endpoint_;
  int packet_size_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::uint8_t> ring_;
  std::size_t head_ = 0;
  std::size_t size_ = 0;
  std::uint64_t epoch_ = 0;      // advanced by Purge
  std::uint64_t submitted_ = 0;  // serial of the transfer put in flight last
  std::uint64_t finished_ = 0;   // serial of the transfer that came back last
  bool bytes_lost_ = false;
  bool device_gone_ = false;
  bool stop_ = false;
  bool waiting_ = false;  // the program's thread waits on this receiver
  std::thread thread_;
};

}  // namespace kestrum
