// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_trace.h"

#include <utility>

namespace kestrum {
namespace {

PortTraceSink& Sink() {
  static PortTraceSink sink;
  return sink;
}

}  // namespace

void SetPortTraceSink(PortTraceSink sink) {
  Sink() = std::move(sink);
}

bool PortTraceEnabled() {
  return static_cast<bool>(Sink());
}

void TracePortLine(const std::string& line) {
  if (Sink()) Sink()(line);
}

std::string HexBytes(const std::uint8_t* bytes, std::uint32_t count) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(count * 3);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace kestrum
