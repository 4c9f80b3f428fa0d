// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DateTime values written the way the user's regional settings write them:
// short date, then long time, the time left out at midnight.

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

#include "records/measurement_store.h"

namespace kestrum {

struct DateTimeFormats {
  QLocale locale = QLocale::c();
  QString shortDate = QStringLiteral("dd/MM/yyyy");  // QDate::toString pattern
  QString longTime = QStringLiteral("HH:mm:ss");     // QTime::toString pattern
};

// The system locale's short date and long time formats, the time zone left
// out of the time format: our date-times are local times without a zone.
DateTimeFormats SystemDateTimeFormats();

// Removes the time-zone fields ("t") and the blanks before them.
QString WithoutTimeZone(const QString& timeFormat);

// Calendar date and time of day of a DateTime, the time rounded to the
// millisecond (1/24 is not exact in binary).
QDate DateOf(DateTime value);
QTime TimeOf(DateTime value);

// Short date, and unless hour, minute and second are all 0, a blank and the
// long time.
QString FormatDateAndTime(DateTime value, const DateTimeFormats& formats);

}  // namespace kestrum
