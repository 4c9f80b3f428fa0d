// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/test_csv.h"

namespace kestrum {

std::string TestCsv(const CountedHours& counted, const std::vector<bool>& leftOut,
                    const std::vector<ConditionMark>& marks, const std::string& site,
                    const CsvChannels& channels) {
  std::string out = std::string(kTestCsvHeader) + "\n";
  const std::string siteCell = CsvUserText(site);
  std::size_t mark = 0;
  for (std::size_t i = 0; i < counted.samples.size(); ++i) {
    const HourlySample& s = counted.samples[i];
    // Marks are in time order, as the samples are.
    while (mark < marks.size() && marks[mark].time < s.time) ++mark;
    const bool changed = mark < marks.size() && marks[mark].time == s.time;
    out += CsvMinute(s.time) + "," + std::to_string(counted.runOf[i]) + "," + siteCell + ",";
    AppendCsvMeasurement(
        out, {s.concentration, s.error, s.pulses, s.temperature, s.humidity, s.pressure}, channels);
    out += i < leftOut.size() && leftOut[i] ? ",0" : ",1";
    out += changed ? ",1\n" : ",0\n";
  }
  return out;
}

}  // namespace kestrum
