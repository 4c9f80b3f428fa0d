// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The date-time texts the program writes: run items of "Select Measurement",
// lines of "k5dat.tmp" and of the text export. The date and time separators
// are the user's regional ones; tests pass their own.

#include <string>

#include "records/measurement_store.h"

class QLocale;

namespace kestrum {

struct DateTimeSeparators {
  std::string date = "/";
  std::string time = ":";
};

// Separators of a locale; the C/POSIX locale gives "/" and ":".
DateTimeSeparators SeparatorsOf(const QLocale& locale);
// Separators of Qt's system locale, looked up once.
const DateTimeSeparators& SystemDateTimeSeparators();

// "DD/MM HH.NN", the start of a run item.
std::string FormatRunStart(DateTime value, const DateTimeSeparators& separators);
// "DD/MM HH.xx", the end of a run item: the minutes are never shown.
std::string FormatRunEnd(DateTime value, const DateTimeSeparators& separators);
// "DD/MM HH.00", the time of a "k5dat.tmp" line.
std::string FormatHourStamp(DateTime value, const DateTimeSeparators& separators);
// "YY/MM/DD HH:mm", the time of a text export line.
std::string FormatExportStamp(DateTime value, const DateTimeSeparators& separators);

// Appends the same texts to out; used where many lines are written.
void AppendHourStamp(std::string& out, DateTime value, const DateTimeSeparators& separators);
void AppendExportStamp(std::string& out, DateTime value, const DateTimeSeparators& separators);

}  // namespace kestrum
