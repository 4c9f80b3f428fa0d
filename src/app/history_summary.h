// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The summary beside the history window's chart, one block per site (rooms
// are never judged as one): each site's answer in one sentence, large and
// first, then per site the rows, the assessment, the verdicts, the monthly
// means with, when twelve well covered months allow it, the annual mean,
// and the daily means.

#include <QString>
#include <vector>

#include "app/summary_html.h"
#include "views/radon_units.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

struct SiteSummary {
  QString site;  // "site not given" for runs without one
  kestrum::RunSummary summary;
};

// `missing`: what the chosen protocol still lacks, said instead of the answers.
SummaryPage WriteHistorySummary(const std::vector<SiteSummary>& sites,
                                const kestrum::MeasurementSource& source, kestrum::RadonUnit unit,
                                const QString& missing);
