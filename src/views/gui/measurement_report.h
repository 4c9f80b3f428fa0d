// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one-page A4 measurement report: title, instrument and origin, period,
// the assessment's answer in one sentence, the chart as shown (with its
// legend and reference levels), the summary, the assessment's figures, a
// statement for each reference level, the monthly and annual means of a
// period over a month, and the daily means.

#include <QByteArray>
#include <QString>
#include <string>

#include "records/result.h"
#include "views/radon_units.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

namespace kestrum {

class KestrumChart;

struct ReportContent {
  RunSummary summary;
  MeasurementSource source;
  RadonUnit unit = RadonUnit::BqPerM3;
  // The site the sentence names; empty: the sentence names none.
  QString assessedSite;
};

// The page as PDF bytes; the chart is drawn with its legend shown and left
// as it was afterwards.
Result<QByteArray> DrawMeasurementReport(KestrumChart& chart, const ReportContent& content);

// Draws the page and writes it through the one write routine.
Result<> SaveMeasurementReport(KestrumChart& chart, const ReportContent& content,
                               const std::string& path);

}  // namespace kestrum
