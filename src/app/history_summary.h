// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The summary beside the history window's chart, one block per site (rooms
// are never judged as one): each site's answer in one sentence, large and
// first, then per site the rows, the assessment, the verdicts, the monthly
// means with, when twelve well covered months allow it, the annual mean,
// and the daily means.

#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/collocation.h"
#include "assessment/condition_marks.h"
#include "assessment/counted_hours.h"
#include "history/history_hours.h"
#include "history/history_types.h"

#include "app/summary_html.h"
#include "views/radon_units.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

struct SiteSummary {
  QString site;  // "site not given" for runs without one
  kestrum::RunSummary summary;
};

// What the history window shows of its test, computed without a widget: the
// chart's shaded (left-out) spans and condition marks, each site's figures
// and the summary's page. The window only hands them to its widgets.
struct HistorySummaryInput {
  std::vector<kestrum::RunHours> hours;  // the shown runs
  kestrum::DateTime from = 0;
  kestrum::DateTime to = 0;
  kestrum::AssessmentRequest request;
  kestrum::ConditionThresholds thresholds;
  double calibrationFactor = 6.0;
  kestrum::RadonUnit unit = kestrum::RadonUnit::BqPerM3;
  kestrum::MeasurementSource source;
  std::optional<QString> missing;  // what the chosen protocol still lacks
  kestrum::InstrumentRegister calibration;
  // The instruments beside the one site shown, when one is.
  std::function<std::vector<kestrum::CollocatedInstrument>(const kestrum::SiteHours&)> collocated;
};

struct HistorySummaryView {
  std::vector<std::pair<double, double>> shadedSpans;  // chart keys, in order
  std::vector<double> markedKeys;                      // chart keys, in order
  std::vector<SiteSummary> sites;
  SummaryPage page;
};

HistorySummaryView ComposeHistorySummary(const HistorySummaryInput& input);

// `missing`: what the chosen protocol still lacks, said instead of the answers.
SummaryPage WriteHistorySummary(const std::vector<SiteSummary>& sites,
                                const kestrum::MeasurementSource& source, kestrum::RadonUnit unit,
                                const std::optional<QString>& missing);
