// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/protocol.h"

namespace kestrum {

std::string_view ProtocolName(Protocol protocol) {
  switch (protocol) {
    case Protocol::kPeriod:
      return "period";
    case Protocol::kAnnual:
      return "annual";
    case Protocol::kUsShortTerm:
      return "us-short-term";
    case Protocol::kLongTerm:
      return "long-term";
    case Protocol::kWorkplace:
      break;
  }
  return "workplace";
}

std::optional<Protocol> ProtocolNamed(std::string_view name) {
  for (Protocol p : kProtocols) {
    if (ProtocolName(p) == name) return p;
  }
  return std::nullopt;
}

}  // namespace kestrum
