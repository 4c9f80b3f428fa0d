#include "views/date_time_text.h"

#include <cmath>
#include <cstdint>

namespace kestrum {
namespace {

constexpr std::int64_t kMsPerDay = 24LL * 60 * 60 * 1000;

const QDate& DayZero() {
  static const QDate zero(1899, 12, 30);
  return zero;
}

// Whole days and the milliseconds of the day, the rounding carried into
// the day so that 23:59:59.9996 becomes the next midnight.
struct DayAndMs {
  std::int64_t day;
  std::int64_t ms;
};

DayAndMs Split(DateTime value) {
  const double wholeDays = std::trunc(value);
  std::int64_t ms = std::llround(std::fabs(value - wholeDays) * static_cast<double>(kMsPerDay));
  auto day = static_cast<std::int64_t>(wholeDays);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    day += value < 0 ? -1 : 1;
  }
  return {day, ms};
}

}  // namespace

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

QDate DateOf(DateTime value) { return DayZero().addDays(Split(value).day); }

QTime TimeOf(DateTime value) {
  return QTime::fromMSecsSinceStartOfDay(static_cast<int>(Split(value).ms));
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
