// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/history_test.h"

#include "app/report_people.h"
#include "assessment/test_csv.h"
#include "views/model_channels.h"

namespace kestrum {

std::string HistoryTestCsv(const HistoryTest& test, const SiteHours& site) {
  const CountedHours& counted = site.hours;
  return TestCsv(counted, HoursLeftOut(counted, test.request),
                 MarkConditionChanges(counted.samples, test.thresholds), site.site,
                 test.csvChannels);
}

TestReportInput HistoryTestReport(const HistoryTest& test, const SiteHours& site,
                                  const Assessment& assessment, const HistoryInstrument& instrument,
                                  const ReportDetails& details, RadonUnit unit) {
  TestReportInput input = TestReportInputFor(assessment, site.hours, test.request, test.thresholds,
                                             ChannelsOf(instrument.model), unit);
  input.site = QString::fromStdString(site.site);
  input.model = QString::fromLatin1(ModelName(instrument.model));
  NameInstrument(instrument, input);
  input.data = QStringLiteral("the history of ") + input.instrument;
  input.people = PeopleOf(details);
  return input;
}

}  // namespace kestrum
