// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_summary.h"

#include "assessment/monthly_means.h"

namespace {

void AddRows(HistorySummaryText& out, const std::vector<kestrum::SummaryRow>& rows) {
  out.html += QStringLiteral("<table cellspacing=0 cellpadding=1>");
  for (const kestrum::SummaryRow& row : rows) {
    out.html += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;%2</td></tr>")
                    .arg(row.label.toHtmlEscaped(), row.value.toHtmlEscaped());
    out.plain += row.label + QLatin1Char(' ') + row.value + QLatin1Char('\n');
  }
  out.html += QStringLiteral("</table>");
}

void AddHeading(HistorySummaryText& out, const QString& title) {
  out.html += QStringLiteral("<p><b>%1</b></p>").arg(title.toHtmlEscaped());
  out.plain += title + QLatin1Char('\n');
}

std::vector<kestrum::SummaryRow> MonthRows(const std::vector<kestrum::MonthlyMean>& months,
                                           kestrum::RadonUnit unit) {
  std::vector<kestrum::SummaryRow> rows;
  for (const kestrum::MonthlyMean& m : months) {
    rows.push_back({QString::asprintf("%04d-%02d", m.year, m.month),
                    QStringLiteral("%1 h (%2 %), mean %3")
                        .arg(m.count)
                        .arg(m.coverage * 100, 0, 'f', 0)
                        .arg(kestrum::RadonValueText(m.mean, unit))});
  }
  return rows;
}

}  // namespace

HistorySummaryText WriteHistorySummary(const kestrum::RunSummary& summary,
                                       const kestrum::MeasurementSource& source,
                                       kestrum::RadonUnit unit) {
  HistorySummaryText out;
  AddRows(out, kestrum::SummaryRows(summary, source, unit));
  const std::vector<kestrum::MonthlyMean> months = kestrum::MonthlyMeans(summary.days);
  if (const auto annual = kestrum::AnnualMeanOf(months)) {
    const int toMonth = (annual->fromMonth + 10) % 12 + 1;
    const int toYear = annual->fromYear + (annual->fromMonth == 1 ? 0 : 1);
    AddRows(out, {{QStringLiteral("Annual mean"),
                   QStringLiteral("%1 (%2 to %3)")
                       .arg(kestrum::RadonValueText(annual->mean, unit),
                            QString::asprintf("%04d-%02d", annual->fromYear, annual->fromMonth),
                            QString::asprintf("%04d-%02d", toYear, toMonth))}});
  }
  const QStringList sentences = kestrum::VerdictSentences(summary, unit);
  if (!sentences.isEmpty()) {
    AddHeading(out, QStringLiteral("Reference levels"));
    for (const QString& s : sentences) {
      out.html += QStringLiteral("<p>%1</p>").arg(s.toHtmlEscaped());
      out.plain += s + QLatin1Char('\n');
    }
  }
  if (!months.empty()) {
    AddHeading(out, QStringLiteral("Monthly means"));
    AddRows(out, MonthRows(months, unit));
  }
  const auto days = kestrum::DailyMeanRows(summary, unit);
  if (!days.empty()) {
    AddHeading(out, QStringLiteral("Daily means"));
    AddRows(out, days);
  }
  return out;
}
