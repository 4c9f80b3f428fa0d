// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart footer: the visible time range and its radon level.

#include <QString>

#include "records/measurement_store.h"
#include "views/date_time_text.h"
#include "views/radon_level.h"

namespace kestrum {

// "StartTime: <min>, EndTime: <max> Radonlevel :<level>±<error>" for the
// bottom axis range [min, max]; empty when min is 0 (nothing drawn).
QString FooterLine(const MeasurementStore& store, DateTime min, DateTime max,
                   const DateTimeFormats& formats);
// The same line for a level already computed.
QString FooterLineOf(const RadonLevel& level, DateTime min, DateTime max,
                     const DateTimeFormats& formats);

}  // namespace kestrum
