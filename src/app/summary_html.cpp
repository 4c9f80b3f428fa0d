// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/summary_html.h"

#include "views/assessment_text.h"

void AddAnswer(SummaryPage& out, const QString& sentence) {
  out.html +=
      QStringLiteral("<p style=\"font-size:15px\"><b>%1</b></p>").arg(sentence.toHtmlEscaped());
  out.plain += sentence + QLatin1Char('\n');
}

void AddHeading(SummaryPage& out, const QString& title) {
  out.html += QStringLiteral("<p><b>%1</b></p>").arg(title.toHtmlEscaped());
  out.plain += title + QLatin1Char('\n');
}

void AddRows(SummaryPage& out, const std::vector<kestrum::SummaryRow>& rows) {
  out.html += QStringLiteral("<table cellspacing=0 cellpadding=1>");
  for (const kestrum::SummaryRow& row : rows) {
    out.html += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;%2</td></tr>")
                    .arg(row.label.toHtmlEscaped(), row.value.toHtmlEscaped());
    out.plain += row.label + QLatin1Char(' ') + row.value + QLatin1Char('\n');
  }
  out.html += QStringLiteral("</table>");
}

void AddRowLines(SummaryPage& out, const std::vector<kestrum::SummaryRow>& rows) {
  out.html += QStringLiteral("<p>");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const kestrum::SummaryRow& row = rows[i];
    if (i > 0) out.html += QStringLiteral("<br>");
    out.html += QStringLiteral("<b>%1</b>&nbsp; %2")
                    .arg(row.label.toHtmlEscaped(), row.value.toHtmlEscaped());
    out.plain += row.label + QLatin1Char(' ') + row.value + QLatin1Char('\n');
  }
  out.html += QStringLiteral("</p>");
}

void AddSentences(SummaryPage& out, const QString& title, const QStringList& sentences) {
  if (sentences.isEmpty()) return;
  AddHeading(out, title);
  for (const QString& s : sentences) {
    out.html += QStringLiteral("<p>%1</p>").arg(s.toHtmlEscaped());
    out.plain += s + QLatin1Char('\n');
  }
}

void AddNote(SummaryPage& out, const QString& note) {
  out.html += QStringLiteral("<p><i>%1</i></p>").arg(note.toHtmlEscaped());
  out.plain += note + QLatin1Char('\n');
}

SummaryPage ComposeRunSummary(const kestrum::RunSummary& summary,
                              const kestrum::MeasurementSource& source, kestrum::RadonUnit unit,
                              const std::optional<QString>& missing) {
  SummaryPage out;
  if (summary.samples > 0) {
    AddAnswer(
        out, missing ? *missing : kestrum::AssessmentSentence(summary.assessment, QString(), unit));
  }
  AddRows(out, kestrum::SummaryRows(summary, source, unit));
  if (summary.samples > 0) {
    AddHeading(out, QStringLiteral("Assessment"));
    AddRows(out, kestrum::AssessmentRows(summary.assessment, unit));
  }
  AddSentences(out, QStringLiteral("Reference levels"), kestrum::VerdictSentences(summary, unit));
  const auto days = kestrum::DailyMeanRows(summary, unit);
  if (!days.empty()) {
    AddHeading(out, QStringLiteral("Daily means"));
    AddRowLines(out, days);
  }
  return out;
}
