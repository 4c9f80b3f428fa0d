// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small replies of a download carry no checksum: a reply of the right
// length is all a read can tell. These checks refuse what no instrument
// sends, so that line noise or another device answering in its place is not
// taken as the instrument's data.

#include <cstddef>
#include <cstdint>
#include <string>

#include "records/decoder_inputs.h"

namespace kestrum {

// "The instrument's coefficient reply is not plausible; nothing was changed"
std::string ImplausibleReplyText(const std::string& reply);

// A nibble-coded reply (the K5/K6 parameter block): the receiver ignores the
// high four bits of each wire byte, but an instrument fills them one way
// throughout (0x0n, or 0x3n as ASCII digits); a reply that mixes them came
// from no instrument.
bool PlausibleNibbleReply(const std::uint8_t* wire, std::size_t count);

// The K7/K8 pressure-sensor coefficients. The sensor's 10-bit pressure
// reading spans 50 to 115 kPa, so at every temperature an instrument works at
// (0 to 40 °C), readings 0 to 1023 must reach both the lowest and the highest
// air pressure it can meet (kLowestPressureKPa, kHighestPressureKPa).
// Coefficients that cannot, all zero among them (50 kPa whatever the
// reading), come from no sensor.
inline constexpr int kLowestPressureKPa = 60;    // 4,000 m up
inline constexpr int kHighestPressureKPa = 110;  // a deep mine
bool PlausiblePressureCoefficients(const PressureCoefficients& coefficients);

}  // namespace kestrum
