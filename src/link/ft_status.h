// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Status values and handle type of the FTDI driver calls, numbered as the
// D2XX library numbers them, so that a status shown in a trace or a test
// means the same thing whichever driver is underneath.

#include <cstdint>

namespace kestrum {

using FtStatus = std::uint32_t;
using FtHandle = std::uint32_t;

inline constexpr FtStatus FT_OK = 0;
inline constexpr FtStatus FT_INVALID_HANDLE = 1;
inline constexpr FtStatus FT_DEVICE_NOT_FOUND = 2;
inline constexpr FtStatus FT_DEVICE_NOT_OPENED = 3;
inline constexpr FtStatus FT_IO_ERROR = 4;
inline constexpr FtStatus FT_INSUFFICIENT_RESOURCES = 5;
inline constexpr FtStatus FT_INVALID_PARAMETER = 6;
inline constexpr FtStatus FT_INVALID_BAUD_RATE = 7;
inline constexpr FtStatus FT_OTHER_ERROR = 18;
// Ours, not the D2XX library's: the converter reported bytes lost or
// damaged on the line (overrun, framing, parity), so a reply is spoilt.
inline constexpr FtStatus FT_BYTES_LOST = 256;

// Purge mask bits.
inline constexpr std::uint32_t FT_PURGE_RX = 1;
inline constexpr std::uint32_t FT_PURGE_TX = 2;

// Line setting values, the same for the D2XX calls and for libftdi.
inline constexpr std::uint8_t FT_BITS_7 = 7;
inline constexpr std::uint8_t FT_BITS_8 = 8;
inline constexpr std::uint8_t FT_STOP_BITS_1 = 0;
inline constexpr std::uint8_t FT_STOP_BITS_2 = 2;
inline constexpr std::uint8_t FT_PARITY_NONE = 0;
inline constexpr std::uint8_t FT_PARITY_SPACE = 4;
inline constexpr std::uint16_t FT_FLOW_NONE = 0x0000;
inline constexpr std::uint16_t FT_FLOW_RTS_CTS = 0x0100;
inline constexpr std::uint16_t FT_FLOW_DTR_DSR = 0x0200;
inline constexpr std::uint16_t FT_FLOW_XON_XOFF = 0x0400;

}  // namespace kestrum
