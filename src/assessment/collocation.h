// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two instruments measuring side by side at one site: their means over the
// hours both counted, and how far apart they are (the relative percent
// difference), the check of one against the other that quality control asks for.

#include <string>

#include "records/hourly_sample.h"

namespace kestrum {

struct Collocation {
  int sharedHours = 0;
  double ownMean = 0;    // this instrument's mean over the shared hours, Bq/m3
  double otherMean = 0;  // the other's
  double Average() const { return (ownMean + otherMean) / 2; }
  // |a - b| / ((a + b) / 2) x 100; 0 when both read 0.
  double RelativePercentDifference() const;
};

// Hours are shared where the two instruments' stamps lie within half an
// hour of each other (their clocks need not agree to the minute). Both in
// time order.
Collocation Collocate(HourSpan own, HourSpan other);

}  // namespace kestrum
