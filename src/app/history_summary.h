// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The summary beside the history window's chart: the rows, verdicts and
// daily means the summary dock writes, with the monthly means and, when
// twelve well covered months allow it, the annual mean.

#include <QString>

#include "views/radon_units.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

struct HistorySummaryText {
  QString html;
  QString plain;  // one line per row: "label value"
};

HistorySummaryText WriteHistorySummary(const kestrum::RunSummary& summary,
                                       const kestrum::MeasurementSource& source,
                                       kestrum::RadonUnit unit);
