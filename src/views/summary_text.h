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
  QString origin;  // "k7-sample.Rn" or "downloaded at 14:05"
};

struct SummaryRow {
  QString label;
  QString value;
};

// Period, samples, mean with uncertainty, highest and lowest, instrument
// and origin; "No sample lies in the shown range." alone when empty.
std::vector<SummaryRow> SummaryRows(const RunSummary& summary, const MeasurementSource& source,
                                    RadonUnit unit);

// One sentence per reference level: "Above 100 Bq/m3: the mean lies above
// it (36 hours above)." style.
QStringList VerdictSentences(const RunSummary& summary, RadonUnit unit);

// One row per day: date, sample count, mean.
std::vector<SummaryRow> DailyMeanRows(const RunSummary& summary, RadonUnit unit);

// "3 d 4 h", "5 h".
QString DurationText(double hours);

}  // namespace kestrum
