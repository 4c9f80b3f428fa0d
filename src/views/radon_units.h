// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two units a radon concentration is shown in. Every value is kept and
// computed in Bq/m3; pCi/L is only how it is written.

#include <QString>

#include "assessment/assessment.h"

namespace kestrum {

enum class RadonUnit { BqPerM3, PciPerL };

// 1 pCi/L = 37 Bq/m3 exactly (1 pCi = 0.037 Bq, 1 L = 0.001 m3).
inline constexpr double kBqPerM3PerPciPerL = kBqPerPciL;

double InRadonUnit(double bqPerM3, RadonUnit unit);
double FromRadonUnit(double value, RadonUnit unit);

// "Bq/m3" or "pCi/L".
QString RadonUnitText(RadonUnit unit);

// A concentration in the unit with its symbol: whole Bq/m3, or pCi/L with
// two decimals ("100 Bq/m3", "2.70 pCi/L").
QString RadonValueText(double bqPerM3, RadonUnit unit);

}  // namespace kestrum
