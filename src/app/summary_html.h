// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The summary dock's and the history window's text, built once as HTML for
// the screen and as plain lines for tests and copying. Every text is
// escaped: sites and notes are the user's words, never markup.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "views/radon_units.h"
#include "views/run_summary.h"
#include "views/summary_text.h"

struct SummaryPage {
  QString html;
  QString plain;  // one line per row: "label value"
};

// The answer, large and first.
void AddAnswer(SummaryPage& out, const QString& sentence);
void AddHeading(SummaryPage& out, const QString& title);
void AddRows(SummaryPage& out, const std::vector<kestrum::SummaryRow>& rows);
// The same as lines of one paragraph: for long lists (a daily mean for each
// of hundreds of days), which a table would take long to lay out.
void AddRowLines(SummaryPage& out, const std::vector<kestrum::SummaryRow>& rows);
// A heading and one paragraph per sentence; nothing when there are none.
void AddSentences(SummaryPage& out, const QString& title, const QStringList& sentences);
// In italics, before what follows.
void AddNote(SummaryPage& out, const QString& note);

// The summary dock's page for one run over the visible range: the answer of
// the chosen protocol (or what it still lacks, `missing`), the figures, the
// assessment, the verdicts and the daily means.
SummaryPage ComposeRunSummary(const kestrum::RunSummary& summary,
                              const kestrum::MeasurementSource& source, kestrum::RadonUnit unit,
                              const std::optional<QString>& missing);
