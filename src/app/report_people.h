// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a test report says of the instrument and the people, from the
// history and the report's details, for the main and the history window
// alike. No widgets.

#include "app/chart_additions_settings.h"
#include "history/history_store.h"
#include "records/result.h"
#include "views/test_report_content.h"

namespace kestrum {

// The client and address kept with the offered site, for the details to
// offer again.
Result<> OfferSiteClient(HistoryStore& store, ReportDetails& offered);

// The client and address go with the site for its next report, when the
// user changed any of the three; a read-only history keeps nothing.
Result<> KeepSiteClient(HistoryStore& store, const ReportDetails& offered,
                        const ReportDetails& chosen);

// The register's entry of the instrument: its name, calibration and certificate.
void NameInstrument(const HistoryInstrument& instrument, TestReportInput& input);

ReportPeople PeopleOf(const ReportDetails& details);

}  // namespace kestrum
