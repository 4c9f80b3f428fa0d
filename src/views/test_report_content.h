// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the test report a professional hands to a client says, as text:
// who it is for and by whom, the instrument and its calibration, the test
// as deployed and as assessed, the result in the protocol's form, the
// advisories, and every hour of the test. The drawing (pages, the chart)
// is the report's own; the words are all here, testable without a display.

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/collocation.h"
#include "assessment/condition_marks.h"
#include "views/model_channels.h"
#include "views/radon_units.h"
#include "views/summary_text.h"

namespace kestrum {

enum class ReportPaper { kA4, kLetter };

// US Letter where it is the usual paper (the US, Canada, Mexico, the
// Philippines and others using US measures), A4 elsewhere.
ReportPaper PaperOfLocale(const QLocale& locale);

// A report over this many pages is refused: its hours belong in a CSV.
inline constexpr int kMostReportPages = 2000;

struct ReportPeople {
  QString client;
  QString address;
  QString operatorName;
  QString certification;  // the operator's certification number
};

struct CollocatedResult {
  QString instrument;
  Collocation figures;
};

struct TestReportInput {
  const Assessment* assessment = nullptr;
  const CountedHours* counted = nullptr;
  std::vector<bool> leftOut;  // as HoursLeftOut gives it
  std::vector<ConditionMark> marks;
  ConditionThresholds thresholds;  // that marked them, the model's channels only
  ModelChannels channels;
  int discardHours = kDiscardHours;  // us-short-term: what the request asked
  QString site;
  QString model;       // "K7"
  QString instrument;  // the instrument's name, its serial as detection knows it
  QString data;        // where the hours come from: a data file or the history
  std::optional<DateTime> calibratedOn;
  int intervalMonths = 12;
  std::string certificate;
  ReportPeople people;
  RadonUnit unit = RadonUnit::BqPerM3;
  std::vector<CollocatedResult> collocated;
};

struct ReportBlock {
  QString heading;
  std::vector<SummaryRow> rows;
};

struct ReportTable {
  QString heading;
  QStringList columns;
  std::vector<QStringList> rows;
};

struct TestReport {
  QString title;                       // on every page
  QString answer;                      // the assessment's one sentence
  std::vector<ReportBlock> front;      // before the chart: parties, instrument, test
  std::vector<ReportBlock> result;     // after it: the result and its figures
  QStringList notes;                   // the conditions
  QStringList advisories;              // us-short-term
  std::vector<ReportBlock> summaries;  // monthly means, collocated instruments
  std::vector<ReportTable> tables;     // the daily means (over a day), then every hour
};

// The computed part of the input for an assessment of `counted` under
// `request`: the hours left out, the marked hours (by `thresholds`, of the
// measured channels only), the unit; whoever calls fills in the rest.
TestReportInput TestReportInputFor(const Assessment& assessment, const CountedHours& counted,
                                   const AssessmentRequest& request,
                                   const ConditionThresholds& thresholds,
                                   const ModelChannels& channels, RadonUnit unit);

// "3 hours"/"1 hour".
QString HoursText(long long hours);

TestReport ComposeTestReport(const TestReportInput& input);

}  // namespace kestrum
