// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/test_report_content.h"

#include "assessment/calibration_state.h"
#include "assessment/daily_means.h"
#include "records/date_time_stamp.h"
#include "views/assessment_text.h"
#include "views/sample_reading.h"

namespace kestrum {
namespace {

QString Day(DateTime day) {
  return QString::fromStdString(DayText(day));
}

QString OrNotGiven(const QString& text) {
  return text.isEmpty() ? QStringLiteral("not given") : text;
}

// A sample is stamped at the end of its hour: the test starts an hour earlier.
QString Span(DateTime firstStamp, DateTime lastStamp) {
  const long long hours = std::llround((lastStamp - firstStamp) / kOneHour) + 1;
  return QStringLiteral("%1 to %2 (%3)")
      .arg(FullDateTimeText(firstStamp - kOneHour), FullDateTimeText(lastStamp), HoursText(hours));
}

QString CalibrationText(const TestReportInput& in, DateTime testEnd) {
  if (!in.calibratedOn) {
    return QStringLiteral(
        "no calibration day entered: whether it held during the test is not "
        "known");
  }
  const DateTime due = CalibrationDue(*in.calibratedOn, in.intervalMonths);
  QString text = Day(*in.calibratedOn);
  if (!in.certificate.empty()) {
    text += QStringLiteral(", certificate ") + QString::fromStdString(in.certificate);
  }
  if (CalibrationStateFor(in.calibratedOn, in.intervalMonths, testEnd) ==
      CalibrationState::kCurrent) {
    return text + QStringLiteral("; current, holds until %1").arg(Day(due));
  }
  return text + QStringLiteral("; overdue: it ran out on %1, before the test ended").arg(Day(due));
}

QString DiscardReason(int hours) {
  if (hours == kDiscardHoursClosedLate) {
    return QStringLiteral("the building was closed less than 12 hours before the test");
  }
  if (hours == kDiscardHoursPostMitigation) {
    return QStringLiteral("a test after a radon fix");
  }
  return QStringLiteral("the air settling after the monitor was placed");
}

QStringList LeftOutReasons(const TestReportInput& in) {
  const Assessment& a = *in.assessment;
  QStringList reasons;
  if (a.protocol == Protocol::kUsShortTerm && a.test.discarded > 0) {
    reasons << QStringLiteral("the first %1 (%2)")
                   .arg(HoursText(a.test.discarded), DiscardReason(in.discardHours));
  }
  if (a.protocol == Protocol::kWorkplace && a.allHours > a.hours()) {
    reasons << QStringLiteral("%1 outside the working hours %2")
                   .arg(HoursText(a.allHours - a.hours()), QString::fromStdString(a.schedule));
  }
  if (a.excludedHours > 0) {
    reasons << QStringLiteral("%1 of excluded runs").arg(HoursText(a.excludedHours));
  }
  if (a.clockUnsetHours > 0) {
    reasons << QStringLiteral("%1 whose clock was not set").arg(HoursText(a.clockUnsetHours));
  }
  if (a.overlapHours > 0) {
    reasons << QStringLiteral("%1 under a later run").arg(HoursText(a.overlapHours));
  }
  return reasons;
}

QString ActionOf(ShortTermAction action) {
  switch (action) {
    case ShortTermAction::kFix:
      return QStringLiteral("4.0 pCi/L or more: fix the home");
    case ShortTermAction::kConsider:
      return QStringLiteral("2.0 to 3.9 pCi/L: consider fixing the home");
    case ShortTermAction::kLow:
      break;
  }
  return QStringLiteral("under 2.0 pCi/L: low");
}

std::vector<SummaryRow> ResultRows(const TestReportInput& in) {
  const Assessment& a = *in.assessment;
  std::vector<SummaryRow> rows;
  if (a.protocol == Protocol::kUsShortTerm) {
    const ShortTermTest& t = a.test;
    if (t.Valid()) {
      rows.push_back({QStringLiteral("Result"), QStringLiteral("%1 pCi/L (%2 Bq/m3)")
                                                    .arg(QString::number(t.result(), 'f', 1))
                                                    .arg(a.figures.mean, 0, 'f', 0)});
      rows.push_back({QStringLiteral("Action"), ActionOf(t.action)});
    } else {
      rows.push_back({QStringLiteral("Result"), QStringLiteral("none: the test is not valid")});
    }
  }
  for (const SummaryRow& row : AssessmentRows(a, in.unit)) rows.push_back(row);
  return rows;
}

// Our own words; brief, as a report carries them.
QStringList ShortTermAdvisories() {
  return {
      QStringLiteral("A result of 2 to 4 pCi/L is worth acting on: consider having the home "
                     "fixed, as any lowering of radon lowers the risk of lung cancer."),
      QStringLiteral("A short test tells most about a home when it is made while the heating "
                     "runs day and night, with windows and outer doors kept closed."),
      QStringLiteral("Test the home again every few years, after building work, and after any "
                     "radon fix to see that it works."),
  };
}

QString ConditionLine(const TestReportInput& in) {
  if (!in.channels.temperature && !in.channels.humidity && !in.channels.pressure) {
    return QStringLiteral(
               "The %1 records no temperature, humidity or pressure, so changes in "
               "the test's conditions cannot be seen from it.")
        .arg(OrNotGiven(in.model));
  }
  QStringList limits;
  if (in.thresholds.temperature)
    limits << QStringLiteral("%1 \u00b0C").arg(*in.thresholds.temperature);
  if (in.thresholds.humidity)
    limits << QStringLiteral("%1 points of humidity").arg(*in.thresholds.humidity);
  if (in.thresholds.pressure) limits << QStringLiteral("%1 kPa").arg(*in.thresholds.pressure);
  const QString beyond = QStringLiteral("beyond %1 from the hour before").arg(limits.join(", "));
  if (in.marks.empty()) {
    return QStringLiteral("Conditions: no hour with a change %1.").arg(beyond);
  }
  return QStringLiteral(
             "Conditions: %1 with a change %2, marked * in the hourly table: changes that may "
             "come from an opened window or door, or a moved or disturbed instrument. Nothing "
             "is left out for them.")
      .arg(HoursText(static_cast<long long>(in.marks.size())), beyond);
}

QString Number(double value, int decimals) {
  return QString::number(value, 'f', decimals);
}

// The days of the hours the assessment rests on (counted, not left out).
ReportTable DailyTable(const TestReportInput& in) {
  std::vector<HourlySample> assessed;
  const std::vector<HourlySample>& samples = in.counted->samples;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (i >= in.leftOut.size() || !in.leftOut[i]) assessed.push_back(samples[i]);
  }
  ReportTable table{QStringLiteral("Daily means"),
                    {QStringLiteral("Day"), RadonUnitText(in.unit), QStringLiteral("Hours")},
                    {}};
  for (const DailyMean& d : CalendarDays(assessed)) {
    table.rows.push_back(
        {QString::asprintf("%04d-%02d-%02d", d.year, d.month, d.day),
         QString::number(InRadonUnit(d.mean, in.unit), 'f', in.unit == RadonUnit::PciPerL ? 2 : 0),
         QString::number(d.count)});
  }
  return table;
}

ReportTable HourlyTable(const TestReportInput& in) {
  ReportTable table{QStringLiteral("Hourly data"), {}, {}};
  QStringList& columns = table.columns;
  const bool pci = in.unit == RadonUnit::PciPerL;
  columns << QStringLiteral("Hour ending") << QStringLiteral("Bq/m3");
  if (pci) columns << QStringLiteral("pCi/L");
  columns << QStringLiteral("\u00b1 Bq/m3");
  if (in.channels.temperature) columns << QStringLiteral("\u00b0C");
  if (in.channels.humidity) columns << QStringLiteral("RH %");
  if (in.channels.pressure) columns << QStringLiteral("kPa");
  columns << QStringLiteral("Counted") << QStringLiteral("Change");
  const CountedHours& counted = *in.counted;
  table.rows.reserve(counted.samples.size());
  std::size_t mark = 0;
  for (std::size_t i = 0; i < counted.samples.size(); ++i) {
    const HourlySample& s = counted.samples[i];
    // Marks are in time order, as the samples are.
    while (mark < in.marks.size() && in.marks[mark].time < s.time) ++mark;
    const bool changed = mark < in.marks.size() && in.marks[mark].time == s.time;
    QStringList row;
    row << FullDateTimeText(s.time) << Number(s.concentration, 0);
    if (pci) row << Number(s.concentration / kBqPerPciL, 2);
    row << Number(s.error, 0);
    if (in.channels.temperature) row << Number(s.temperature, 1);
    if (in.channels.humidity) row << Number(s.humidity, 1);
    if (in.channels.pressure) row << Number(s.pressure, 2);
    row << (i < in.leftOut.size() && in.leftOut[i] ? QStringLiteral("no") : QStringLiteral("yes"))
        << (changed ? QStringLiteral("*") : QString());
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace

ReportPaper PaperOfLocale(const QLocale& locale) {
  if (locale.measurementSystem() == QLocale::ImperialUSSystem) return ReportPaper::kLetter;
  switch (locale.territory()) {
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Philippines:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::CostaRica:
    case QLocale::Guatemala:
    case QLocale::PuertoRico:
      return ReportPaper::kLetter;
    default:
      return ReportPaper::kA4;
  }
}

TestReportInput TestReportInputFor(const Assessment& assessment, const CountedHours& counted,
                                   const AssessmentRequest& request,
                                   const ConditionThresholds& thresholds,
                                   const ModelChannels& channels, RadonUnit unit) {
  TestReportInput in;
  in.assessment = &assessment;
  in.counted = &counted;
  in.leftOut = HoursLeftOut(counted, request);
  in.thresholds =
      MeasuredOnly(thresholds, channels.temperature, channels.humidity, channels.pressure);
  in.marks = MarkConditionChanges(counted.samples, in.thresholds);
  in.channels = channels;
  in.discardHours = request.discardHours;
  in.unit = unit;
  return in;
}

QString HoursText(long long hours) {
  return hours == 1 ? QStringLiteral("1 hour") : QStringLiteral("%1 hours").arg(hours);
}

TestReport ComposeTestReport(const TestReportInput& in) {
  const Assessment& a = *in.assessment;
  const CountedHours& counted = *in.counted;
  TestReport out;
  const DateTime deployedFirst = counted.samples.empty() ? a.first : counted.samples.front().time;
  const DateTime deployedLast = counted.samples.empty() ? a.last : counted.samples.back().time;
  out.title = QStringLiteral("Radon test report");
  if (!in.site.isEmpty()) out.title += QStringLiteral(", ") + in.site;
  out.title += QStringLiteral(", %1 to %2").arg(Day(deployedFirst - kOneHour), Day(deployedLast));
  out.answer = AssessmentSentence(a, in.site, in.unit);

  QString operatorText = OrNotGiven(in.people.operatorName);
  if (!in.people.certification.isEmpty()) {
    operatorText += QStringLiteral(", certification ") + in.people.certification;
  }
  out.front.push_back({QStringLiteral("For"),
                       {{QStringLiteral("Client"), OrNotGiven(in.people.client)},
                        {QStringLiteral("Address"), OrNotGiven(in.people.address)},
                        {QStringLiteral("Operator"), operatorText}}});
  QString instrument = OrNotGiven(in.model);
  if (!in.instrument.isEmpty()) instrument += QStringLiteral(", serial ") + in.instrument;
  out.front.push_back({QStringLiteral("Instrument"),
                       {{QStringLiteral("Model"), instrument},
                        {QStringLiteral("Calibration"), CalibrationText(in, a.last)},
                        {QStringLiteral("Data"), OrNotGiven(in.data)}}});
  ReportBlock test{QStringLiteral("Test"), {{QStringLiteral("Site"), OrNotGiven(in.site)}}};
  test.rows.push_back({QStringLiteral("Deployed"), Span(deployedFirst, deployedLast)});
  if (a.hours() > 0) {
    test.rows.push_back({QStringLiteral("Assessed"), Span(a.first, a.last)});
  }
  const QStringList reasons = LeftOutReasons(in);
  test.rows.push_back({QStringLiteral("Left out"),
                       reasons.isEmpty() ? QStringLiteral("no hour") : reasons.join("; ")});
  out.front.push_back(std::move(test));

  out.result.push_back({QStringLiteral("Result"), ResultRows(in)});
  out.notes << ConditionLine(in);
  if (a.protocol == Protocol::kUsShortTerm) out.advisories = ShortTermAdvisories();

  if (a.last - a.first > 31 && !a.months.empty()) {
    ReportBlock months{QStringLiteral("Monthly means"), {}};
    for (const MonthlyMean& m : a.months) {
      months.rows.push_back({QString::asprintf("%04d-%02d", m.year, m.month),
                             QStringLiteral("%1 (%2 % of the month counted)")
                                 .arg(RadonValueText(m.mean, in.unit))
                                 .arg(m.coverage * 100, 0, 'f', 0)});
    }
    out.summaries.push_back(std::move(months));
  }
  if (!in.collocated.empty()) {
    ReportBlock beside{QStringLiteral("Collocated instruments"), {}};
    for (const CollocatedResult& c : in.collocated) {
      const Collocation& f = c.figures;
      beside.rows.push_back(
          {c.instrument,
           QStringLiteral("%1 over %2 shared; this instrument %3; average %4; relative percent "
                          "difference %5 %")
               .arg(RadonValueText(f.otherMean, in.unit), HoursText(f.sharedHours),
                    RadonValueText(f.ownMean, in.unit), RadonValueText(f.Average(), in.unit),
                    Number(f.RelativePercentDifference(), 1))});
    }
    out.summaries.push_back(std::move(beside));
  }
  if (a.hours() > 0 && a.last - a.first >= 1) out.tables.push_back(DailyTable(in));
  out.tables.push_back(HourlyTable(in));
  return out;
}

}  // namespace kestrum
