#pragma once
// The real converters, through libftdi1. Listing reads the USB strings
// without claiming a device, so the kernel's serial driver stays bound and
// /dev/ttyUSB* keeps working while the program watches for the instrument.
// Opening detaches the kernel driver for the duration; closing re-attaches it.

#include <cstdint>
#include <map>

#include "link/ft_driver.h"

struct ftdi_context;

namespace kestrum {

class LibFtdiDriver : public FtDriver {
 public:
  LibFtdiDriver();
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
  // Bytes asked of libftdi per step of a read; progress is reported per step.
  static constexpr int kReadStepBytes = 4096;

 private:
  enum class StringKind { kDescription, kSerial };
  // Writes the text into `buffer` (NUL-terminated when shorter than it).
  FtStatus ListString(std::uint32_t index, StringKind kind, char* buffer, int size);
  ftdi_context* OpenContext(FtHandle handle) const;

  ftdi_context* list_context_ = nullptr;  // listing only, never opens a device
  std::map<FtHandle, ftdi_context*> open_;
  FtHandle next_handle_ = 1;
  bool access_denied_ = false;
};

}  // namespace kestrum
