// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/date_time_text.h"

#include "records/date_time.h"

namespace kestrum {

QString WithoutTimeZone(const QString& timeFormat) {
  QString out;
  bool quoted = false;
  for (QChar c : timeFormat) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) {
      while (!out.isEmpty() && out.back().isSpace()) out.chop(1);
      continue;
    }
    out.append(c);
  }
  return out;
}

DateTimeFormats SystemDateTimeFormats() {
  DateTimeFormats formats;
  formats.locale = QLocale::system();
  formats.shortDate = formats.locale.dateFormat(QLocale::ShortFormat);
  formats.longTime = WithoutTimeZone(formats.locale.timeFormat(QLocale::LongFormat));
  return formats;
}

QDate DateOf(DateTime value) {
  const DateTimeFields fields = SplitDateTime(value);
  return QDate(fields.year, fields.month, fields.day);
}

QTime TimeOf(DateTime value) {
  const DateTimeFields fields = SplitDateTime(value);
  return QTime(fields.hour, fields.minute, fields.second, fields.millisecond);
}

QString FormatDateAndTime(DateTime value, const DateTimeFormats& formats) {
  QString text = formats.locale.toString(DateOf(value), formats.shortDate);
  const QTime time = TimeOf(value);
  if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
    text += QLatin1Char(' ');
    text += formats.locale.toString(time, formats.longTime);
  }
  return text;
}

}  // namespace kestrum
