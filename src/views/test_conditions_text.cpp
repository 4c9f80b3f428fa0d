// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/test_conditions_text.h"

#include "assessment/calibration_state.h"
#include "records/date_time_stamp.h"

namespace kestrum {
namespace {

QString Day(DateTime day) {
  return QString::fromStdString(DayText(day));
}

}  // namespace

QString CalibrationNote(std::optional<DateTime> calibratedOn, int intervalMonths,
                        const std::string& certificate, DateTime testEnd) {
  if (!calibratedOn) {
    return QStringLiteral(
        "No calibration day is entered for this instrument (Instrument\u2026), so whether its "
        "calibration held during the test is not known.");
  }
  const DateTime due = CalibrationDue(*calibratedOn, intervalMonths);
  const QString reference =
      certificate.empty()
          ? QString()
          : QStringLiteral(" (certificate %1)").arg(QString::fromStdString(certificate).left(80));
  if (CalibrationStateFor(calibratedOn, intervalMonths, testEnd) == CalibrationState::kCurrent) {
    return QStringLiteral("Calibrated %1%2; it holds until %3.")
        .arg(Day(*calibratedOn), reference, Day(due));
  }
  return QStringLiteral(
             "Calibrated %1%2; that calibration ran out on %3, before the test ended: the "
             "figures are given all the same.")
      .arg(Day(*calibratedOn), reference, Day(due));
}

QString ConditionNote(std::size_t markedHours) {
  if (markedHours == 0) return {};
  return QStringLiteral(
             "%1 with a change in temperature, humidity or pressure beyond the thresholds from "
             "the hour before: changes that may come from an opened window or door, or a moved "
             "or disturbed instrument. Nothing is left out for them.")
      .arg(markedHours == 1 ? QStringLiteral("1 hour")
                            : QStringLiteral("%1 hours").arg(markedHours));
}

QString CollocationNote(const QString& other, const Collocation& c, RadonUnit unit) {
  return QStringLiteral(
             "Beside %1 over %2 shared hours: its mean %3, this one's %4, average %5, relative "
             "percent difference %6 %.")
      .arg(other)
      .arg(c.sharedHours)
      .arg(RadonValueText(c.otherMean, unit), RadonValueText(c.ownMean, unit),
           RadonValueText(c.Average(), unit))
      .arg(c.RelativePercentDifference(), 0, 'f', 1);
}

}  // namespace kestrum
