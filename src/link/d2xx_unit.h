// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// D2XXUnit: the program's single gateway to the USB serial converter. Plain
// operations over module-level state (one handle, one receive and one
// transmit buffer, the line settings); there is no port object. Every
// operation returns the driver's status (0 = FT_OK), except ReadFTDevice and
// WriteFTDevice, which return the byte count. Nothing raises or shows a
// message. Single-threaded: only the GUI thread calls these.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "link/ft_driver.h"
#include "link/ft_status.h"

namespace kestrum {

inline constexpr std::uint32_t kFTBufferSize = 196608;
inline constexpr int kFTSerialNumberSize = 50;  // 49 characters and the NUL

extern FtHandle FTHandle;
extern std::uint8_t FTXonChar;
extern std::uint8_t FTXoffChar;
extern std::uint32_t FTBaudRate;
extern std::uint8_t FTWordLength;
extern std::uint8_t FTStopBits;
extern std::uint8_t FTParity;
extern std::uint16_t FTFlowControl;
extern std::array<std::uint8_t, kFTBufferSize> FTInBuffer;
extern std::array<std::uint8_t, kFTBufferSize> FTOutBuffer;
extern std::uint32_t FTDeviceCount;
extern char FTSerialNumber[kFTSerialNumberSize];
// The text listed last, description or serial number alike.
extern std::string FTDeviceString;
// The listing buffers the driver writes into.
extern FtDescriptionBuffer FTDescriptionListing;
extern FtSerialBuffer FTSerialListing;

// Listing; never opens a device and is not traced.
FtStatus GetFTDeviceCount();
FtStatus GetFTDeviceDescription(std::uint32_t index);
FtStatus GetFTDeviceSerialNo(std::uint32_t index);

FtStatus Open_USB_Device_By_Serial_Number(const std::string& serial);
FtStatus CloseFTDevice();
// Deposits from FTInBuffer[0]; later bytes keep their contents. Returns the
// count received, which is short when the line went silent for 2 s.
std::uint32_t ReadFTDevice(std::uint32_t count);
// How the last ReadFTDevice ended.
enum class ReadEnd {
  kComplete,    // every byte asked for came
  kSilence,     // the line went silent for 2 s
  kCancelled,   // the read progress hook said stop
  kBytesLost,   // the converter lost or damaged bytes on the line
  kDeviceGone,  // unplugged, or the device failed
};
ReadEnd LastReadEnd();

// True from a read that ended while the instrument may still have been
// sending (cancelled, or bytes lost) until a drain has seen the line quiet:
// what is still on its way would be taken for the next command's replies.
bool FTReceiveMayBeBusy();
// Reads and throws away what comes until the line has been quiet for
// `quiet_ms`; `progress` is told the bytes thrown away so far and may end
// it. True when the line went quiet.
bool DrainFTReceive(int quiet_ms, const std::function<bool(std::uint32_t drained)>& progress);

// Sends the first `count` bytes of FTOutBuffer; returns the count written.
std::uint32_t WriteFTDevice(std::uint32_t count);
FtStatus SetFTBaudRate();
FtStatus SetFTDataCharacteristics();
FtStatus SetFTFlowControl();
FtStatus PurgeFTReceive();
FtStatus PurgeFTTransmit();

// The driver the operations call; not owned, may be null (every operation
// then fails: listing and open with FT_DEVICE_NOT_FOUND, the rest with
// FT_INVALID_HANDLE, reads and writes with count 0).
void SetFtDriver(FtDriver* driver);
FtDriver* CurrentFtDriver();

// True when the last listing met a converter it was not allowed to read.
bool FTListingAccessDenied();

// Called from inside one ReadFTDevice as bytes arrive; returning false
// cancels the read, which then returns the count received so far. An empty
// hook removes it.
using ReadProgressHook = std::function<bool(std::uint32_t received, std::uint32_t requested)>;
void SetReadProgressHook(ReadProgressHook hook);

// Puts every variable back to its start-up value (for tests).
void ResetD2XXUnitState();

}  // namespace kestrum
