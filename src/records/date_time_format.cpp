// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/date_time_format.h"

#include <QLocale>
#include <QString>

#include "records/date_time.h"

namespace kestrum {
namespace {

void AppendTwoDigits(std::string& out, int value) {
  value = (value % 100 + 100) % 100;
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

void AppendDayMonth(std::string& out, const DateTimeFields& f, const DateTimeSeparators& s) {
  AppendTwoDigits(out, f.day);
  out += s.date;
  AppendTwoDigits(out, f.month);
  out.push_back(' ');
  AppendTwoDigits(out, f.hour);
  out.push_back('.');
}

// The first character between two fields of a locale's format, or fallback.
std::string FirstSeparatorIn(const QString& format, const char* fallback) {
  bool afterField = false;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == u'\'') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (c.isLetter()) {
      afterField = true;
    } else if (afterField && !c.isSpace()) {
      return QString(c).toStdString();
    }
  }
  return fallback;
}

}  // namespace

DateTimeSeparators SeparatorsOf(const QLocale& locale) {
  if (locale.language() == QLocale::C) return {};
  return {FirstSeparatorIn(locale.dateFormat(QLocale::ShortFormat), "/"),
          FirstSeparatorIn(locale.timeFormat(QLocale::ShortFormat), ":")};
}

const DateTimeSeparators& SystemDateTimeSeparators() {
  static const DateTimeSeparators separators = SeparatorsOf(QLocale::system());
  return separators;
}

std::string FormatRunStart(DateTime value, const DateTimeSeparators& separators) {
  const DateTimeFields f = SplitDateTime(value);
  std::string out;
  AppendDayMonth(out, f, separators);
  AppendTwoDigits(out, f.minute);
  return out;
}

std::string FormatRunEnd(DateTime value, const DateTimeSeparators& separators) {
  std::string out;
  AppendDayMonth(out, SplitDateTime(value), separators);
  out += "xx";
  return out;
}

void AppendHourStamp(std::string& out, DateTime value, const DateTimeSeparators& separators) {
  AppendDayMonth(out, SplitDateTime(value), separators);
  out += "00";
}

std::string FormatHourStamp(DateTime value, const DateTimeSeparators& separators) {
  std::string out;
  AppendHourStamp(out, value, separators);
  return out;
}

void AppendExportStamp(std::string& out, DateTime value, const DateTimeSeparators& separators) {
  const DateTimeFields f = SplitDateTime(value);
  AppendTwoDigits(out, f.year);
  out += separators.date;
  AppendTwoDigits(out, f.month);
  out += separators.date;
  AppendTwoDigits(out, f.day);
  out.push_back(' ');
  AppendTwoDigits(out, f.hour);
  out += separators.time;
  AppendTwoDigits(out, f.minute);
}

std::string FormatExportStamp(DateTime value, const DateTimeSeparators& separators) {
  std::string out;
  AppendExportStamp(out, value, separators);
  return out;
}

}  // namespace kestrum
