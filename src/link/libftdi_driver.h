// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real converters, through libftdi1. Listing reads what the kernel
// already knows of each converter (its strings in sysfs), so detection
// causes no USB traffic and needs no permission; only where sysfs has no
// entry are the strings asked of the device, without claiming it. While a
// command holds a converter open, listing answers from the last listing
// and leaves the bus alone. Opening detaches the kernel's serial driver
// for the duration; closing re-attaches it. From open to close a receiver
// thread keeps the converter drained (see FtdiReceiver).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/ft_driver.h"
#include "link/usb_sysfs.h"

struct ftdi_context;

namespace kestrum {

class FtdiReceiver;

class LibFtdiDriver : public FtDriver {
 public:
  explicit LibFtdiDriver(UsbPaths paths = UsbPaths{});
  ~LibFtdiDriver() override;
  LibFtdiDriver(const LibFtdiDriver&) = delete;
  LibFtdiDriver& operator=(const LibFtdiDriver&) = delete;

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

  // A read gives up when no byte has come for this long.
  static constexpr int kReadSilenceTimeoutMs = 2000;
  // Low, so that short replies are not held back by the converter.
  static constexpr unsigned char kLatencyTimerMs = 2;

 private:
  struct Listed {
    FtStatus status = FT_OK;  // FT_DEVICE_NOT_OPENED: not ours to read
    std::string description;
    std::string serial;
  };
  struct OpenConverter;

  OpenConverter* Opened(FtHandle handle) const;

  UsbPaths paths_;
  ftdi_context* list_context_ = nullptr;  // listing only, never opens a device for long
  std::vector<Listed> listing_;
  std::map<FtHandle, std::unique_ptr<OpenConverter>> open_;
  FtHandle next_handle_ = 1;
  bool access_denied_ = false;
};

}  // namespace kestrum
