// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hours of a test as CSV, for whoever checks the result in a
// spreadsheet: the columns of the history's export, then whether the
// protocol counted the hour (not discarded, not unoccupied) and whether its
// conditions changed beyond the thresholds.

#include <string>
#include <vector>

#include "assessment/condition_marks.h"
#include "assessment/counted_hours.h"
#include "records/csv_export.h"

namespace kestrum {

inline constexpr char kTestCsvHeader[] =
    "time,run,site,bqm3,error_bqm3,pulses,temperature_c,humidity_percent,pressure_kpa,counted,"
    "condition";

// `leftOut` as HoursLeftOut gives it, one flag per counted sample.
std::string TestCsv(const CountedHours& counted, const std::vector<bool>& leftOut,
                    const std::vector<ConditionMark>& marks, const std::string& site,
                    const CsvChannels& channels);

}  // namespace kestrum
