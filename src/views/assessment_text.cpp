// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/assessment_text.h"

#include <cmath>

#include "records/date_time.h"
#include "views/sample_reading.h"

namespace kestrum {
namespace {

QString Value(double bq, RadonUnit unit) {
  return RadonValueText(bq, unit);
}

QString WithUncertainty(double bq, const std::optional<double>& u, RadonUnit unit) {
  if (!u) return Value(bq, unit);
  const int decimals = unit == RadonUnit::PciPerL ? 2 : 0;
  return QString::number(InRadonUnit(bq, unit), 'f', decimals) + QStringLiteral(" \u00b1 ") +
         QString::number(InRadonUnit(*u, unit), 'f', decimals) + QLatin1Char(' ') +
         RadonUnitText(unit);
}

QString LevelName(double level, RadonUnit unit) {
  return ReferenceLevelText(level, unit);
}

// "above WHO 100 Bq/m3", "undecided against EU 300 Bq/m3: about 12 more days
// would tell"; without a name, "above", "undecided: about 12 ...".
QString LevelClause(const LevelOutcome& o, RadonUnit unit, bool named = true) {
  const QString name = named ? QLatin1Char(' ') + LevelName(o.level, unit) : QString();
  switch (o.verdict) {
    case LevelVerdict::Above:
      return QStringLiteral("above") + name;
    case LevelVerdict::Below:
      return QStringLiteral("below") + name;
    case LevelVerdict::Undecided:
      break;
  }
  QString clause =
      QStringLiteral("undecided") + (named ? QStringLiteral(" against") + name : QString());
  if (o.moreDays) {
    clause += *o.moreDays == 1 ? QStringLiteral(": about 1 more day would tell")
                               : QStringLiteral(": about %1 more days would tell").arg(*o.moreDays);
  } else if (o.reason == OpenReason::kTooClose) {
    clause += o.calibrationSpans ? QStringLiteral(
                                       ": the calibration uncertainty alone spans it, more days "
                                       "would not tell")
                                 : QStringLiteral(": too close to tell even with a year more");
  }
  return clause;
}

QString LevelClauses(const std::vector<LevelOutcome>& levels, RadonUnit unit) {
  QStringList clauses;
  for (const LevelOutcome& o : levels) clauses << LevelClause(o, unit);
  return clauses.join(QStringLiteral(", "));
}

QString Lead(const QString& site, const QString& what) {
  return site.isEmpty() ? what : site + QStringLiteral(", ") + what;
}

QString ShortDateTime(DateTime first, DateTime last) {
  // The end leaves out the year the start already says.
  const QString from = FullDateTimeText(first);
  QString to = FullDateTimeText(last);
  if (to.left(5) == from.left(5)) to = to.mid(5);
  return from + QStringLiteral(" to ") + to;
}

QString ActionText(ShortTermAction action) {
  switch (action) {
    case ShortTermAction::kFix:
      return QStringLiteral("fix the home");
    case ShortTermAction::kConsider:
      return QStringLiteral("consider fixing");
    case ShortTermAction::kLow:
      break;
  }
  return QStringLiteral("low, below what such a test tells reliably");
}

QString ShortTermSentence(const Assessment& a, const QString& site) {
  const ShortTermTest& t = a.test;
  const QString lead = Lead(
      site, QStringLiteral("Test ") + ShortDateTime(t.deployedFirst - kOneHour, t.deployedLast));
  if (t.invalid == TestFault::kClockUnset) {
    return lead + QStringLiteral(": not valid, the instrument's clock was not set.");
  }
  if (t.invalid == TestFault::kTooShort) {
    return lead + QStringLiteral(": not valid, %1 hours after the first %2, a test needs %3.")
                      .arg(a.hours())
                      .arg(t.discarded)
                      .arg(kShortTermHours);
  }
  if (t.invalid == TestFault::kGap) {
    return lead + QStringLiteral(": not valid, hours are missing after %1.")
                      .arg(FullDateTimeText(t.gapAfter));
  }
  return lead + QStringLiteral(": %1 pCi/L, %2.")
                    .arg(QString::number(t.result(), 'f', 1), ActionText(t.action));
}

}  // namespace

QString ProtocolTitle(Protocol protocol) {
  switch (protocol) {
    case Protocol::kPeriod:
      return QStringLiteral("Period");
    case Protocol::kAnnual:
      return QStringLiteral("Annual");
    case Protocol::kUsShortTerm:
      return QStringLiteral("US short-term test");
    case Protocol::kLongTerm:
      return QStringLiteral("Long-term (seasonal)");
    case Protocol::kWorkplace:
      break;
  }
  return QStringLiteral("Workplace");
}

namespace {

QString Sentence(const Assessment& a, const QString& site, RadonUnit unit) {
  if (a.protocol == Protocol::kUsShortTerm && a.test.deployedLast != 0) {
    return ShortTermSentence(a, site);
  }
  if (a.hours() == 0) {
    if (a.clockUnsetHours > 0) {
      return Lead(site, QStringLiteral("no hour counts: the instrument's clock was not set "
                                       "or was wrong (re-date the run in the history)."));
    }
    return Lead(site, QStringLiteral("no counted hour to judge."));
  }
  if (a.protocol == Protocol::kAnnual) {
    if (a.years.empty()) {
      return Lead(site, QStringLiteral("no calendar year with all twelve months at least 75 % "
                                       "covered, so no annual mean."));
    }
    const YearAssessment& y = a.years.back();
    return Lead(site, QStringLiteral("%1: annual mean %2, %3.")
                          .arg(y.year)
                          .arg(WithUncertainty(y.annualMean, y.parts.combined, unit),
                               LevelClauses(y.levels, unit)));
  }
  if (a.figures.temporal.days < kFewestDays) {
    return Lead(site, QStringLiteral("too short to judge the day-to-day variation: measure at "
                                     "least 3 full days."));
  }
  QString what;
  switch (a.protocol) {
    case Protocol::kLongTerm:
      what = QStringLiteral("annual estimate %1 (seasonal factor %2)")
                 .arg(WithUncertainty(a.annualEstimate, a.estimateUncertainty, unit))
                 .arg(a.seasonalFactor, 0, 'f', 2);
      break;
    case Protocol::kWorkplace:
      what = QStringLiteral("mean of the occupied hours %1")
                 .arg(WithUncertainty(a.figures.mean, a.figures.combined, unit));
      break;
    default:
      what = QStringLiteral("mean of this period (%1 days) %2")
                 .arg(std::lround(a.hours() / 24.0))
                 .arg(WithUncertainty(a.figures.mean, a.figures.combined, unit));
      break;
  }
  return Lead(site, what) + QStringLiteral(", ") + LevelClauses(a.levels, unit) + QLatin1Char('.');
}

}  // namespace

QString AssessmentSentence(const Assessment& a, const QString& site, RadonUnit unit) {
  QString sentence = Sentence(a, site, unit);
  if (!sentence.isEmpty()) sentence[0] = sentence[0].toUpper();
  return sentence;
}

std::vector<SummaryRow> AssessmentRows(const Assessment& a, RadonUnit unit) {
  std::vector<SummaryRow> rows;
  const MeanUncertainty& f = a.figures;
  rows.push_back({QStringLiteral("Protocol"), ProtocolTitle(a.protocol)});
  if (a.protocol == Protocol::kUsShortTerm) {
    rows.push_back({QStringLiteral("Discarded"),
                    QStringLiteral("the first %1 hours of the test").arg(a.test.discarded)});
  }
  if (a.protocol == Protocol::kWorkplace) {
    rows.push_back({QStringLiteral("Occupied"), QStringLiteral("%1: %2 of %3 hours")
                                                    .arg(QString::fromStdString(a.schedule))
                                                    .arg(a.hours())
                                                    .arg(a.allHours)});
    rows.push_back({QStringLiteral("All hours"), Value(a.meanAll, unit)});
  }
  rows.push_back({QStringLiteral("Counted"),
                  QStringLiteral("%1 hours, %2 full days").arg(f.hours).arg(f.temporal.days)});
  if (a.overlapHours > 0) {
    rows.push_back({QStringLiteral("Overlap"),
                    QStringLiteral("%1 hours left out under a later run").arg(a.overlapHours)});
  }
  if (a.clockUnsetHours > 0) {
    rows.push_back({QStringLiteral("Clock unset"),
                    QStringLiteral("%1 hours left out").arg(a.clockUnsetHours)});
  }
  if (f.hours == 0) return rows;
  rows.push_back({QStringLiteral("Mean"), WithUncertainty(f.mean, f.combined, unit)});
  const auto part = [&](const std::optional<double>& u) {
    return u ? Value(*u, unit) : QStringLiteral("not known");
  };
  rows.push_back({QStringLiteral("Counting"), part(f.counting)});
  QString temporal = part(f.temporal.uncertainty);
  if (f.temporal.uncertainty) {
    temporal += QStringLiteral(" (%1 days, autocorrelation %2, as %3 independent days)")
                    .arg(f.temporal.days)
                    .arg(f.temporal.autocorrelation, 0, 'f', 2)
                    .arg(f.temporal.effectiveDays, 0, 'f', 1);
  } else {
    temporal = QStringLiteral("needs at least 3 full days");
  }
  rows.push_back({QStringLiteral("Day to day"), temporal});
  rows.push_back({QStringLiteral("Calibration"),
                  Value(f.calibration, unit) + QStringLiteral(" (") +
                      QString::number(a.calibrationPercent, 'g', 3) + QStringLiteral(" %") +
                      (a.calibrationAssumed ? QStringLiteral(", assumed") : QString()) +
                      QLatin1Char(')')});
  if (a.protocol == Protocol::kLongTerm && !a.profile.empty()) {
    rows.push_back({QStringLiteral("Profile"), QString::fromStdString(a.profile)});
    rows.push_back({QStringLiteral("Estimate"),
                    WithUncertainty(a.annualEstimate, a.estimateUncertainty, unit) +
                        QStringLiteral(" (factor %1)").arg(a.seasonalFactor, 0, 'f', 2)});
  }
  for (const YearAssessment& y : a.years) {
    rows.push_back({QString::number(y.year), WithUncertainty(y.annualMean, y.parts.combined, unit) +
                                                 QStringLiteral(", ") +
                                                 LevelClauses(y.levels, unit)});
  }
  if (a.protocol != Protocol::kAnnual) {
    for (const LevelOutcome& o : a.levels) {
      QString clause = LevelClause(o, unit, false);
      if (o.reason == OpenReason::kTooShort) clause += QStringLiteral(": needs 3 full days");
      rows.push_back({LevelName(o.level, unit), clause});
    }
  }
  if (a.protocol == Protocol::kPeriod && a.last - a.first + kOneHour < 365) {
    rows.push_back({QStringLiteral("Note"),
                    QStringLiteral("a period shorter than a year does not give the annual mean")});
  }
  return rows;
}

}  // namespace kestrum
