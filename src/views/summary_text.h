// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run summary as text rows, written once for the summary dock and the
// measurement report: the same words and numbers in both.

#include <QString>
#include <QStringList>
#include <vector>

#include "views/radon_units.h"
#include "views/run_summary.h"

namespace kestrum {

// What the summary says about where the measurements come from.
struct MeasurementSource {
  QString model;  // "K7"; empty when unknown
  double calibrationFactor = 0;
  QString origin;  // "k7-sample.Rn" or "K7-…-20261209-1435.Rn, downloaded 2026-12-09 14:35 from
                   // converter …"
  QString site;    // where it was measured; empty when not known
  QString operatorName;  // who measured; empty when not known
};

struct SummaryRow {
  QString label;
  QString value;
};

// Period, samples, mean with uncertainty, highest and lowest, instrument,
// origin, site and operator as far as known; "No sample lies in the shown
// range." alone when empty.
std::vector<SummaryRow> SummaryRows(const RunSummary& summary, const MeasurementSource& source,
                                    RadonUnit unit);

// From the start of the first sample's hour to the last time stamp, saying
// when the first hour ends: the first sample is stamped at that end.
// "2024-03-05 16:45 to 2024-03-07 10:45 (the first hour ends 17:45)".
QString PeriodText(const RunSummary& summary);

// A reference level with its name: "WHO 100 Bq/m3", "Custom 4.05 pCi/L".
QString ReferenceLevelText(double level, RadonUnit unit);

// One sentence per reference level, in the summary's order, by the period
// assessment's verdict: "WHO 100 Bq/m3: the mean is above it (36 hours
// above).", "EU 300 Bq/m3: the mean cannot be told apart from it, about 12
// more days would tell (2 hours above)."
QStringList VerdictSentences(const RunSummary& summary, RadonUnit unit);

// One row per day: date, sample count, mean.
std::vector<SummaryRow> DailyMeanRows(const RunSummary& summary, RadonUnit unit);

// "3 d 4 h", "5 h".
QString DurationText(double hours);

}  // namespace kestrum
