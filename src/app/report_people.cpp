// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_people.h"

namespace kestrum {

Result<> OfferSiteClient(HistoryStore& store, ReportDetails& offered) {
  const Result<SiteClient> kept = store.SiteClientOf(offered.site.toStdString());
  if (!kept) return kept.failure();
  offered.client = QString::fromStdString(kept->client);
  offered.address = QString::fromStdString(kept->address);
  return {};
}

Result<> KeepSiteClient(HistoryStore& store, const ReportDetails& offered,
                        const ReportDetails& chosen) {
  if (store.ReadOnly()) return {};
  if (chosen.client == offered.client && chosen.address == offered.address &&
      chosen.site == offered.site) {
    return {};
  }
  return store.SetSiteClient(chosen.site.toStdString(),
                             {chosen.client.toStdString(), chosen.address.toStdString()});
}

void NameInstrument(const HistoryInstrument& instrument, TestReportInput& input) {
  input.instrument = QString::fromStdString(instrument.name);
  input.calibratedOn = instrument.entry.calibratedOn;
  input.intervalMonths = instrument.entry.intervalMonths;
  input.certificate = instrument.entry.certificate;
}

ReportPeople PeopleOf(const ReportDetails& details) {
  return {details.client, details.address, details.operatorName, details.certification};
}

}  // namespace kestrum
