// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The footer line for the chosen unit: always the Bq/m3 line other programs
// read, and with pCi/L chosen the same level in pCi/L in brackets after it:
// "... Radonlevel :100±10 (2.70±0.27 pCi/L)".

#include <QString>

#include "records/measurement_store.h"
#include "views/date_time_text.h"
#include "views/radon_units.h"
#include "views/sample_view.h"

namespace kestrum {

QString FooterLineInUnit(const MeasurementStore& store, DateTime min, DateTime max,
                         const DateTimeFormats& formats, RadonUnit unit);
// The same over any samples, with their instrument's factor.
QString FooterLineInUnit(SampleView samples, Extended calibrationFactor, DateTime min, DateTime max,
                         const DateTimeFormats& formats, RadonUnit unit);

}  // namespace kestrum
