// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/d2xx_unit.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "link/port_trace.h"

namespace kestrum {

FtHandle FTHandle = 0;
std::uint8_t FTXonChar = 0x11;
std::uint8_t FTXoffChar = 0x13;
std::uint32_t FTBaudRate = 0;
std::uint8_t FTWordLength = 0;
std::uint8_t FTStopBits = 0;
std::uint8_t FTParity = 0;
std::uint16_t FTFlowControl = 0;
std::array<std::uint8_t, kFTBufferSize> FTInBuffer{};
std::array<std::uint8_t, kFTBufferSize> FTOutBuffer{};
std::uint32_t FTDeviceCount = 0;
char FTSerialNumber[kFTSerialNumberSize] = {};
std::string FTDeviceString;
FtDescriptionBuffer FTDescriptionListing{};
FtSerialBuffer FTSerialListing{};

namespace {

FtDriver* g_driver = nullptr;
ReadProgressHook g_progress_hook;
ReadEnd g_last_read_end = ReadEnd::kComplete;
bool g_receive_may_be_busy = false;

// The text of a listing buffer: up to the first NUL, or the whole buffer.
template <std::size_t N>
std::string ListingText(const std::array<char, N>& buffer) {
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  return std::string(buffer.begin(), end);
}

void CopySerialNumber(const std::string& serial) {
  FTSerialNumber[0] = '\0';
  const std::size_t n = std::min<std::size_t>(serial.size(), kFTSerialNumberSize - 1);
  if (n == 0) return;
  std::memcpy(FTSerialNumber, serial.data(), n);
  FTSerialNumber[n] = '\0';
}

void TraceStatus(const std::string& call, FtStatus status) {
  if (PortTraceEnabled()) TracePortLine(call + " -> " + std::to_string(status));
}

// Callers never pass more than the buffers hold; a larger count is cut so a
// slip cannot run past them.
std::uint32_t WithinBuffer(std::uint32_t count) {
  return std::min(count, kFTBufferSize);
}

}  // namespace

void SetFtDriver(FtDriver* driver) {
  g_driver = driver;
}

FtDriver* CurrentFtDriver() {
  return g_driver;
}

bool FTListingAccessDenied() {
  return g_driver != nullptr && g_driver->ListingAccessDenied();
}

void SetReadProgressHook(ReadProgressHook hook) {
  g_progress_hook = std::move(hook);
}

FtStatus GetFTDeviceCount() {
  if (!g_driver) return FT_DEVICE_NOT_FOUND;
  return g_driver->ListDeviceCount(&FTDeviceCount);
}

FtStatus GetFTDeviceDescription(std::uint32_t index) {
  if (!g_driver) return FT_DEVICE_NOT_FOUND;
  const FtStatus status = g_driver->ListDescription(index, FTDescriptionListing);
  if (status == FT_OK) FTDeviceString = ListingText(FTDescriptionListing);
  return status;
}

FtStatus GetFTDeviceSerialNo(std::uint32_t index) {
  if (!g_driver) return FT_DEVICE_NOT_FOUND;
  const FtStatus status = g_driver->ListSerialNumber(index, FTSerialListing);
  if (status == FT_OK) FTDeviceString = ListingText(FTSerialListing);
  return status;
}

FtStatus Open_USB_Device_By_Serial_Number(const std::string& serial) {
  CopySerialNumber(serial);
  const FtStatus status =
      g_driver ? g_driver->OpenBySerialNumber(FTSerialNumber, &FTHandle) : FT_DEVICE_NOT_FOUND;
  TraceStatus(std::string("open ") + FTSerialNumber, status);
  return status;
}

FtStatus CloseFTDevice() {
  const FtStatus status = g_driver ? g_driver->Close(FTHandle) : FT_INVALID_HANDLE;
  TraceStatus("close", status);
  return status;
}

std::uint32_t ReadFTDevice(std::uint32_t count) {
  const std::uint32_t requested = WithinBuffer(count);
  std::uint32_t received = 0;
  FtStatus status = FT_INVALID_HANDLE;
  bool cancelled = false;
  if (g_driver) {
    FtReadProgress progress;
    if (g_progress_hook) {
      progress = [requested, &cancelled](std::uint32_t so_far) {
        cancelled = !g_progress_hook(so_far, requested);
        return !cancelled;
      };
    }
    status = g_driver->Read(FTHandle, FTInBuffer.data(), requested, &received, progress);
    received = std::min(received, requested);
  }
  if (received >= requested && status == FT_OK) {
    g_last_read_end = ReadEnd::kComplete;
  } else if (status == FT_BYTES_LOST) {
    g_last_read_end = ReadEnd::kBytesLost;
  } else if (cancelled) {
    g_last_read_end = ReadEnd::kCancelled;
  } else {
    g_last_read_end = status == FT_OK ? ReadEnd::kSilence : ReadEnd::kDeviceGone;
  }
  if (g_last_read_end == ReadEnd::kBytesLost || g_last_read_end == ReadEnd::kCancelled) {
    g_receive_may_be_busy = true;
  }
  if (PortTraceEnabled()) {
    std::string line = "read " + std::to_string(count) + " -> " + std::to_string(received);
    if (g_last_read_end == ReadEnd::kBytesLost) line += " (bytes lost on the line)";
    TracePortLine(line);
  }
  return received;
}

ReadEnd LastReadEnd() {
  return g_last_read_end;
}

bool FTReceiveMayBeBusy() {
  return g_receive_may_be_busy;
}

bool DrainFTReceive(int quiet_ms, const std::function<bool(std::uint32_t drained)>& progress) {
  std::uint32_t drained = 0;
  bool stopped = false;
  FtStatus status = FT_INVALID_HANDLE;
  if (g_driver) {
    const FtReadProgress hook = [&progress, &stopped](std::uint32_t so_far) {
      stopped = progress && !progress(so_far);
      return !stopped;
    };
    status = g_driver->Drain(FTHandle, quiet_ms, &drained, hook);
  }
  const bool quiet = status == FT_OK && !stopped;
  if (quiet) g_receive_may_be_busy = false;
  if (PortTraceEnabled()) {
    TracePortLine("drain " + std::to_string(quiet_ms) + " ms -> " + std::to_string(drained) +
                  (quiet ? "" : " (not quiet)"));
  }
  return quiet;
}

std::uint32_t WriteFTDevice(std::uint32_t count) {
  const std::uint32_t requested = WithinBuffer(count);
  std::uint32_t written = 0;
  if (g_driver) g_driver->Write(FTHandle, FTOutBuffer.data(), requested, &written);
  if (PortTraceEnabled()) {
    std::string line = "write";
    if (requested > 0) line += ' ' + HexBytes(FTOutBuffer.data(), requested);
    TracePortLine(line + " -> " + std::to_string(written));
  }
  return written;
}

FtStatus SetFTBaudRate() {
  const FtStatus status =
      g_driver ? g_driver->SetBaudRate(FTHandle, FTBaudRate) : FT_INVALID_HANDLE;
  TraceStatus("baud " + std::to_string(FTBaudRate), status);
  return status;
}

FtStatus SetFTDataCharacteristics() {
  const FtStatus status =
      g_driver ? g_driver->SetDataCharacteristics(FTHandle, FTWordLength, FTStopBits, FTParity)
               : FT_INVALID_HANDLE;
  TraceStatus("data " + std::to_string(FTWordLength) + ' ' + std::to_string(FTStopBits) + ' ' +
                  std::to_string(FTParity),
              status);
  return status;
}

FtStatus SetFTFlowControl() {
  const FtStatus status =
      g_driver ? g_driver->SetFlowControl(FTHandle, FTFlowControl, FTXonChar, FTXoffChar)
               : FT_INVALID_HANDLE;
  TraceStatus("flow " + std::to_string(FTFlowControl) + ' ' + std::to_string(FTXonChar) + ' ' +
                  std::to_string(FTXoffChar),
              status);
  return status;
}

FtStatus PurgeFTReceive() {
  const FtStatus status = g_driver ? g_driver->Purge(FTHandle, FT_PURGE_RX) : FT_INVALID_HANDLE;
  TraceStatus("purge rx", status);
  return status;
}

FtStatus PurgeFTTransmit() {
  const FtStatus status = g_driver ? g_driver->Purge(FTHandle, FT_PURGE_TX) : FT_INVALID_HANDLE;
  TraceStatus("purge tx", status);
  return status;
}

void ResetD2XXUnitState() {
  FTHandle = 0;
  FTXonChar = 0x11;
  FTXoffChar = 0x13;
  FTBaudRate = 0;
  FTWordLength = 0;
  FTStopBits = 0;
  FTParity = 0;
  FTFlowControl = 0;
  FTInBuffer.fill(0);
  FTOutBuffer.fill(0);
  FTDeviceCount = 0;
  std::memset(FTSerialNumber, 0, sizeof FTSerialNumber);
  FTDeviceString.clear();
  FTDescriptionListing.fill(0);
  FTSerialListing.fill(0);
  g_last_read_end = ReadEnd::kComplete;
  g_receive_may_be_busy = false;
}

}  // namespace kestrum
