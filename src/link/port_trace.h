// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Optional protocol log of the port module: one line per call, so a user can
// send what went over the wire with a problem report and tests can compare
// whole command sequences.

#include <cstdint>
#include <functional>
#include <string>

namespace kestrum {

using PortTraceSink = std::function<void(const std::string& line)>;

// An empty sink switches tracing off (the default).
void SetPortTraceSink(PortTraceSink sink);
bool PortTraceEnabled();
void TracePortLine(const std::string& line);

// "HH HH HH" for the bytes, upper-case hex, single blanks.
std::string HexBytes(const std::uint8_t* bytes, std::uint32_t count);

}  // namespace kestrum
