// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_summary.h"

#include <algorithm>

#include "app/shown_text.h"
#include "assessment/monthly_means.h"
#include "views/assessment_text.h"
#include "views/gui/chart_time.h"
#include "views/gui/shaded_hours.h"
#include "views/summary_text.h"
#include "views/test_conditions_text.h"

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
                                const std::optional<QString>& missing) {
  SummaryPage out;
  if (missing) AddAnswer(out, *missing);
  for (const SiteSummary& site : sites) {
    if (!missing)
      AddAnswer(out, kestrum::AssessmentSentence(site.summary.assessment, site.site, unit));
  }
  for (const SiteSummary& site : sites) AddSite(out, site, source, unit, sites.size() > 1);
  return out;
}

HistorySummaryView ComposeHistorySummary(const HistorySummaryInput& input) {
  HistorySummaryView view;
  // Rooms are never judged as one: a test per site.
  const std::vector<kestrum::SiteHours> perSite =
      kestrum::CountHoursPerSite(input.hours, input.from, input.to);
  int leftOut = 0;
  int overlap = 0;
  int clockUnset = 0;
  std::size_t marked = 0;
  kestrum::DateTime testEnd = 0;
  for (const kestrum::SiteHours& siteHours : perSite) {
    const kestrum::CountedHours& counted = siteHours.hours;
    // Each site is its own test: its own start is discarded.
    for (const auto& span :
         kestrum::LeftOutSpans(counted.samples, kestrum::HoursLeftOut(counted, input.request))) {
      view.shadedSpans.push_back(span);
    }
    leftOut += counted.excludedHours;
    overlap += counted.overlapHours;
    for (const kestrum::ConditionMark& mark :
         kestrum::MarkConditionChanges(counted.samples, input.thresholds)) {
      view.markedKeys.push_back(kestrum::ChartKeyFromDateTime(mark.time));
      ++marked;
    }
    if (!counted.samples.empty()) testEnd = std::max(testEnd, counted.samples.back().time);
    clockUnset += counted.clockUnsetHours;
    view.sites.push_back(
        {ShownText(kestrum::SiteTitle(siteHours.site), kestrum::kSiteCharacterLimit),
         kestrum::SummariseCounted(counted, input.calibrationFactor, input.request)});
  }
  std::sort(view.shadedSpans.begin(), view.shadedSpans.end());
  std::sort(view.markedKeys.begin(), view.markedKeys.end());
  if (view.sites.empty()) {
    // Nothing counts; still say why, with the hours left out.
    const kestrum::CountedHours counted = kestrum::CountHours(input.hours, input.from, input.to);
    leftOut = counted.excludedHours;
    clockUnset = counted.clockUnsetHours;
  }
  SummaryPage& page = view.page;
  QStringList notes;
  if (leftOut > 0) {
    notes << QStringLiteral("%1 hours of excluded runs or shorter versions left out.").arg(leftOut);
  }
  if (clockUnset > 0) {
    notes << QStringLiteral(
                 "%1 hours of runs whose clock was not set or was wrong left out "
                 "(re-date them).")
                 .arg(clockUnset);
  }
  if (overlap > 0) {
    notes << QStringLiteral("%1 hours left out where a later run covers them.").arg(overlap);
  }
  if (view.sites.empty()) notes << QStringLiteral("No counted hour lies in the shown range.");
  for (const QString& note : notes) AddNote(page, note);
  const SummaryPage sites =
      WriteHistorySummary(view.sites, input.source, input.unit, input.missing);
  page.html += sites.html;
  page.plain += sites.plain;
  // After the answers: what the reader weighs them with.
  if (!view.sites.empty()) {
    const kestrum::InstrumentRegister& entry = input.calibration;
    AddNote(page, kestrum::CalibrationNote(entry.calibratedOn, entry.intervalMonths,
                                           entry.certificate, testEnd));
    if (const QString conditions = kestrum::ConditionNote(marked); !conditions.isEmpty())
      AddNote(page, conditions);
    if (perSite.size() == 1 && !perSite.front().site.empty() && input.collocated) {
      for (const kestrum::CollocatedInstrument& other : input.collocated(perSite.front())) {
        AddNote(page, kestrum::CollocationNote(ShownText(other.name, kestrum::kSiteCharacterLimit),
                                               other.figures, input.unit));
      }
    }
  }
  return view;
}
