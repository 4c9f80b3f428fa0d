// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The footer line for the chosen unit: always the Bq/m3 line other programs
// read, and with pCi/L chosen the same level in pCi/L in brackets after it:
// "... Radonlevel :100±10 (2.70±0.27 pCi/L)".

#include <QString>

#include "records/hourly_sample.h"
#include "records/measurement_store.h"
#include "views/date_time_text.h"
#include "views/radon_units.h"

namespace kestrum {

QString FooterLineInUnit(const MeasurementStore& store, DateTime min, DateTime max,
                         const DateTimeFormats& formats, RadonUnit unit);
// The same over hours held elsewhere (the history's), with their instrument's factor.
QString FooterLineInUnit(HourSpan samples, Extended calibrationFactor, DateTime min, DateTime max,
                         const DateTimeFormats& formats, RadonUnit unit);

}  // namespace kestrum
