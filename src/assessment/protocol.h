// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The measurement protocols an assessment follows, by the names the tool
// and the settings use.

#include <array>
#include <optional>
#include <string_view>

namespace kestrum {

enum class Protocol {
  kPeriod,       // the mean of the counted hours of a range
  kAnnual,       // calendar years of twelve covered months
  kUsShortTerm,  // a short test with a continuous monitor, in pCi/L
  kLongTerm,     // an annual estimate through a seasonal profile
  kWorkplace,    // the occupied hours of a workplace
};

inline constexpr std::array<Protocol, 5> kProtocols = {Protocol::kPeriod, Protocol::kAnnual,
                                                       Protocol::kUsShortTerm, Protocol::kLongTerm,
                                                       Protocol::kWorkplace};

// "period", "annual", "us-short-term", "long-term", "workplace".
std::string_view ProtocolName(Protocol protocol);
std::optional<Protocol> ProtocolNamed(std::string_view name);

}  // namespace kestrum
