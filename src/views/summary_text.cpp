// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/summary_text.h"

#include <cmath>

#include "views/sample_reading.h"

namespace kestrum {
namespace {

QString ValueWithUncertainty(const RadonLevel& level, RadonUnit unit) {
  const int decimals = unit == RadonUnit::PciPerL ? 2 : 0;
  return QString::number(InRadonUnit(static_cast<double>(level.mean), unit), 'f', decimals) +
         QStringLiteral(" \u00b1 ") +
         QString::number(InRadonUnit(static_cast<double>(level.uncertainty), unit), 'f', decimals) +
         QLatin1Char(' ') + RadonUnitText(unit);
}

}  // namespace

QString DurationText(double hours) {
  const long long whole = std::llround(hours);
  const long long days = whole / 24;
  const long long rest = whole % 24;
  if (days == 0) return QStringLiteral("%1 h").arg(rest);
  return QStringLiteral("%1 d %2 h").arg(days).arg(rest);
}

std::vector<SummaryRow> SummaryRows(const RunSummary& summary, const MeasurementSource& source,
                                    RadonUnit unit) {
  std::vector<SummaryRow> rows;
  if (summary.samples == 0) {
    rows.push_back({QStringLiteral("No sample lies in the shown range."), QString()});
  } else {
    rows.push_back({QStringLiteral("Period"), PeriodText(summary)});
    rows.push_back({QStringLiteral("Duration"), DurationText(CoveredHours(summary))});
    rows.push_back({QStringLiteral("Samples"), QString::number(summary.samples)});
    rows.push_back({QStringLiteral("Mean"), ValueWithUncertainty(summary.level, unit)});
    rows.push_back({QStringLiteral("Highest hour"), RadonValueText(summary.highest, unit) +
                                                        QStringLiteral(" at ") +
                                                        FullDateTimeText(summary.highestAt)});
    rows.push_back({QStringLiteral("Lowest hour"), RadonValueText(summary.lowest, unit) +
                                                       QStringLiteral(" at ") +
                                                       FullDateTimeText(summary.lowestAt)});
  }
  if (!source.model.isEmpty()) {
    rows.push_back(
        {QStringLiteral("Instrument"), QStringLiteral("%1, calibration factor %2 Bq/m3 per pulse")
                                           .arg(source.model)
                                           .arg(source.calibrationFactor, 0, 'f', 2)});
  }
  if (!source.origin.isEmpty()) rows.push_back({QStringLiteral("Data"), source.origin});
  if (!source.site.isEmpty()) rows.push_back({QStringLiteral("Site"), source.site});
  if (!source.operatorName.isEmpty()) {
    rows.push_back({QStringLiteral("Operator"), source.operatorName});
  }
  return rows;
}

QString PeriodText(const RunSummary& summary) {
  constexpr double kHour = 1.0 / 24;
  return QStringLiteral("%1 to %2 (the first hour ends %3)")
      .arg(FullDateTimeText(summary.first - kHour), FullDateTimeText(summary.last),
           FullDateTimeText(summary.first).section(QLatin1Char(' '), 1));
}

QString ReferenceLevelText(double level, RadonUnit unit) {
  const std::string_view name = ReferenceLevelName(level);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + QLatin1Char(' ') +
         RadonValueText(level, unit);
}

QStringList VerdictSentences(const RunSummary& summary, RadonUnit unit) {
  QStringList sentences;
  if (summary.samples == 0) return sentences;
  for (const LevelJudgement& j : summary.judgements) {
    const LevelOutcome& o = j.outcome;
    QString said;
    if (o.reason == OpenReason::kTooShort) {
      said = QStringLiteral("too short to judge, measure at least 3 full days");
    } else {
      said =
          QStringLiteral("the mean %1 it").arg(QString::fromUtf8(VerdictPhrase(j.verdict).data()));
      if (o.moreDays && *o.moreDays > 0) {
        said += *o.moreDays == 1
                    ? QStringLiteral(", about 1 more day would tell")
                    : QStringLiteral(", about %1 more days would tell").arg(*o.moreDays);
      } else if (o.reason == OpenReason::kTooClose && o.calibrationSpans) {
        said += QStringLiteral(", and the calibration uncertainty alone spans it");
      }
    }
    sentences << QStringLiteral("%1: %2 (%3 above).")
                     .arg(ReferenceLevelText(j.level, unit), said,
                          j.hoursAbove == 1 ? QStringLiteral("1 hour")
                                            : QStringLiteral("%1 hours").arg(j.hoursAbove));
  }
  return sentences;
}

std::vector<SummaryRow> DailyMeanRows(const RunSummary& summary, RadonUnit unit) {
  std::vector<SummaryRow> rows;
  for (const DailyMean& d : summary.days) {
    rows.push_back(
        {QString::asprintf("%04d-%02d-%02d", d.year, d.month, d.day),
         QStringLiteral("%1 h, mean %2").arg(d.count).arg(RadonValueText(d.mean, unit))});
  }
  return rows;
}

}  // namespace kestrum
