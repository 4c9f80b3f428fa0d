// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_summary.h"

#include "assessment/monthly_means.h"
#include "views/assessment_text.h"

namespace {

constexpr std::size_t kMostDailyRows = 92;

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

void AddSite(SummaryPage& out, const SiteSummary& site, kestrum::MeasurementSource source,
             kestrum::RadonUnit unit, bool titled) {
  const kestrum::RunSummary& summary = site.summary;
  if (titled) AddHeading(out, site.site);
  source.site = site.site;
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
  AddHeading(out, QStringLiteral("Assessment"));
  AddRows(out, kestrum::AssessmentRows(summary.assessment, unit));
  AddSentences(out, QStringLiteral("Reference levels"), kestrum::VerdictSentences(summary, unit));
  if (!months.empty()) {
    AddHeading(out, QStringLiteral("Monthly means"));
    AddRows(out, MonthRows(months, unit));
  }
  // Past a season, day by day is a list nobody reads; the months say it.
  if (summary.days.size() > kMostDailyRows) {
    AddHeading(out, QStringLiteral("Daily means"));
    AddNote(out, QStringLiteral(
                     "%1 days: listed for selections of up to %2 days; the monthly "
                     "means above, the chart and \"kestrum-tool history export\" give the rest.")
                     .arg(summary.days.size())
                     .arg(kMostDailyRows));
    return;
  }
  const auto days = kestrum::DailyMeanRows(summary, unit);
  if (!days.empty()) {
    AddHeading(out, QStringLiteral("Daily means"));
    AddRows(out, days);
  }
}

}  // namespace

SummaryPage WriteHistorySummary(const std::vector<SiteSummary>& sites,
                                const kestrum::MeasurementSource& source, kestrum::RadonUnit unit,
                                const QString& missing) {
  SummaryPage out;
  if (!missing.isEmpty()) AddAnswer(out, missing);
  for (const SiteSummary& site : sites) {
    if (missing.isEmpty()) {
      AddAnswer(out, kestrum::AssessmentSentence(site.summary.assessment, site.site, unit));
    }
  }
  for (const SiteSummary& site : sites) AddSite(out, site, source, unit, sites.size() > 1);
  return out;
}
