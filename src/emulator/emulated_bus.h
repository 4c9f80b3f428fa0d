// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A USB bus of emulated instruments behind the driver interface, so the port
// module, detection and the commands run against them unchanged. Bytes take
// their line time (10 bits at the converter's baud rate) each way; the
// instrument answers from its side of the dialect. Time is virtual: instant
// in tests, slept in real time for the demo.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "emulator/emulated_instrument.h"
#include "emulator/line_settings.h"
#include "emulator/virtual_clock.h"
#include "emulator/wire_log.h"
#include "link/ft_driver.h"

namespace kestrum {

class EmulatedBus : public FtDriver {
 public:
  explicit EmulatedBus(TimeMode mode = TimeMode::kInstant);
  ~EmulatedBus() override;

  // Plugs in at the end of the listing order, or at `index`.
  void Plug(std::shared_ptr<EmulatedInstrument> instrument);
  void Plug(std::shared_ptr<EmulatedInstrument> instrument, std::size_t index);
  // Pulls the plug now, or when the virtual clock reaches `time_ns`. An open
  // handle dies: its calls fail with FT_IO_ERROR, a read ends with what came.
  void Unplug(const std::string& serial);
  void UnplugAt(const std::string& serial, std::int64_t time_ns);
  bool IsPlugged(const std::string& serial) const;
  bool IsOpen(const std::string& serial) const;
  std::vector<std::shared_ptr<EmulatedInstrument>> Instruments() const;
  std::shared_ptr<EmulatedInstrument> Find(const std::string& serial) const;
  std::optional<LineSettings> LineSettingsOf(const std::string& serial) const;

  // Listing faults: every listing call fails; or one converter's texts
  // cannot be read for lack of permission.
  void SetListingFails(bool fails) { listing_fails_ = fails; }
  void SetUnreadable(const std::string& serial, bool unreadable);

  VirtualClock& Clock() { return clock_; }
  std::int64_t NowNs() const { return clock_.NowNs(); }
  void Sleep(int milliseconds);
  // For SetSleeper: waits move this bus's clock.
  std::function<void(int)> MakeSleeper();

  const WireLog& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  std::vector<std::uint8_t> BytesWritten() const;
  std::vector<std::uint8_t> BytesRead() const;

  // Bytes a read asks of the line per step before reporting progress; a
  // step also never spans more than 100 ms of line time.
  static constexpr std::uint32_t kReadStepBytes = 4096;
  static constexpr std::int64_t kReadSilenceNs = 2000 * kNsPerMs;

  FtStatus ListDeviceCount(std::uint32_t* count) override;
  FtStatus ListDescription(std::uint32_t index, FtDescriptionBuffer& buffer) override;
  FtStatus ListSerialNumber(std::uint32_t index, FtSerialBuffer& buffer) override;
  FtStatus OpenBySerialNumber(const char* serial, FtHandle* handle) override;
  FtStatus Close(FtHandle handle) override;
  FtStatus Read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count, std::uint32_t* received,
                const FtReadProgress& progress) override;
  FtStatus Drain(FtHandle handle, int quiet_ms, std::uint32_t* drained,
                 const FtReadProgress& progress) override;
  FtStatus Write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                 std::uint32_t* written) override;
  FtStatus SetBaudRate(FtHandle handle, std::uint32_t baud) override;
  FtStatus SetDataCharacteristics(FtHandle handle, std::uint8_t word_length, std::uint8_t stop_bits,
                                  std::uint8_t parity) override;
  FtStatus SetFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                          std::uint8_t xoff) override;
  FtStatus Purge(FtHandle handle, std::uint32_t mask) override;
  bool ListingAccessDenied() const override { return access_denied_; }

 private:
  struct TimedByte {
    std::int64_t time_ns;
    std::uint8_t byte;
  };
  // One plugged converter with its instrument.
  struct Port {
    std::shared_ptr<EmulatedInstrument> instrument;
    LineSettings line;
    FtHandle handle = 0;                  // 0 while closed
    std::deque<TimedByte> to_instrument;  // by arrival at the instrument
    std::deque<TimedByte> to_host;        // by arrival at the PC
    std::int64_t host_line_free_ns = 0;
    std::int64_t instrument_line_free_ns = 0;
    std::optional<std::int64_t> unplug_at_ns;
    bool unreadable = false;
  };

  Port* PortOf(FtHandle handle) const;
  Port* PortOf(const std::string& serial) const;
  FtStatus HandleError(FtHandle handle) const;
  template <std::size_t N>
  FtStatus ListText(std::uint32_t index, std::array<char, N>& buffer, bool serial);
  // Lets the instrument act on every byte that has reached it by `time_ns`
  // and carries out a due unplug.
  void Sync(Port& port, std::int64_t time_ns);
  void SyncAll();
  void Deliver(Port& port, const TimedByte& byte);
  void Remove(Port& port);
  void AdvanceTo(std::int64_t time_ns);
  std::int64_t NextReadStop(const Port& port, std::uint32_t wanted) const;
  // Takes up to `count` bytes into `buffer` (thrown away when null) until
  // the line has been silent for `silence_ns`.
  FtStatus Receive(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                   std::uint32_t* received, const FtReadProgress& progress,
                   std::int64_t silence_ns);

  VirtualClock clock_;
  std::vector<std::unique_ptr<Port>> ports_;
  std::set<FtHandle> dead_handles_;
  FtHandle next_handle_ = 1;
  std::uint32_t next_transfer_ = 1;
  WireLog log_;
  bool listing_fails_ = false;
  bool access_denied_ = false;
};

}  // namespace kestrum
