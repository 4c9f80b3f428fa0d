// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The driver underneath the port module, one call per D2XX call the port
// module makes. The real converters sit behind LibFtdiDriver, the emulated
// instruments behind EmulatedBus; the port module is the same for both.

#include <array>
#include <cstdint>
#include <functional>

#include "link/ft_status.h"

namespace kestrum {

inline constexpr int kFTDescriptionBufferSize = 64;
inline constexpr int kFTSerialBufferSize = 16;

using FtDescriptionBuffer = std::array<char, kFTDescriptionBufferSize>;
using FtSerialBuffer = std::array<char, kFTSerialBufferSize>;

// Told the bytes received so far while one read runs; returning false ends
// the read at once with what has arrived.
using FtReadProgress = std::function<bool(std::uint32_t received)>;

class FtDriver {
 public:
  virtual ~FtDriver() = default;

  // Writes the number of attached converters into *count on success only.
  virtual FtStatus ListDeviceCount(std::uint32_t* count) = 0;
  // Write the text of device `index`, NUL-terminated when it is shorter than
  // the buffer, into the buffer; bytes after the NUL are left alone.
  virtual FtStatus ListDescription(std::uint32_t index, FtDescriptionBuffer& buffer) = 0;
  virtual FtStatus ListSerialNumber(std::uint32_t index, FtSerialBuffer& buffer) = 0;

  // `serial` is NUL-terminated; *handle is written on success only.
  virtual FtStatus OpenBySerialNumber(const char* serial, FtHandle* handle) = 0;
  virtual FtStatus Close(FtHandle handle) = 0;

  // Reads until `count` bytes have arrived, the line stays silent for two
  // seconds, the device goes away or `progress` cancels; deposits from
  // buffer[0] and reports the bytes received in *received in every case.
  virtual FtStatus Read(FtHandle handle, std::uint8_t* buffer, std::uint32_t count,
                        std::uint32_t* received, const FtReadProgress& progress) = 0;
  // Reads and throws away what comes until the line has been quiet for
  // `quiet_ms`; *drained tells how much. `progress` (told the bytes thrown
  // away so far, also while nothing comes) may end it early.
  virtual FtStatus Drain(FtHandle /*handle*/, int /*quiet_ms*/, std::uint32_t* drained,
                         const FtReadProgress& /*progress*/) {
    *drained = 0;
    return FT_OK;
  }
  virtual FtStatus Write(FtHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                         std::uint32_t* written) = 0;

  virtual FtStatus SetBaudRate(FtHandle handle, std::uint32_t baud) = 0;
  virtual FtStatus SetDataCharacteristics(FtHandle handle, std::uint8_t word_length,
                                          std::uint8_t stop_bits, std::uint8_t parity) = 0;
  virtual FtStatus SetFlowControl(FtHandle handle, std::uint16_t mode, std::uint8_t xon,
                                  std::uint8_t xoff) = 0;
  // `mask` is FT_PURGE_RX, FT_PURGE_TX or both.
  virtual FtStatus Purge(FtHandle handle, std::uint32_t mask) = 0;

  // True when the last listing met a converter whose texts could not be read
  // for lack of permission; detection turns it into a hint for the user.
  virtual bool ListingAccessDenied() const { return false; }
};

}  // namespace kestrum
