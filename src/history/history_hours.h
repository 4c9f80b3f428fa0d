// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An instrument's history as the counting rule takes it: every run with its
// samples, read once.

#include <string>
#include <vector>

#include "assessment/collocation.h"
#include "assessment/counted_hours.h"
#include "assessment/seasonal_profile.h"
#include "history/history_selection.h"
#include "records/result.h"

namespace kestrum {

// The runs point into `runs`' samples: keep `runs` while they are used.
RunHours RunHoursOf(const LoadedRun& run);
std::vector<RunHours> RunHoursOf(const std::vector<LoadedRun>& runs);

// Every run of the instrument with its samples, oldest first.
Result<std::vector<LoadedRun>> LoadInstrumentRuns(HistoryStore& store,
                                                  const std::string& instrument);

// The seasonal profile of a site's latest twelve well covered months, from
// the instrument named or, when none is, from whichever instrument measured
// the site most recently.
Result<SeasonalProfile> ProfileOfSite(HistoryStore& store, const std::string& site,
                                      const std::string* instrument = nullptr);

struct CollocatedInstrument {
  std::string name;
  Collocation figures;
};

// Every other instrument of the history with counted hours at `site` from..to
// shared with `own` (the instrument's counted hours there); never another site's.
Result<std::vector<CollocatedInstrument>> CollocatedAt(HistoryStore& store,
                                                       const std::string& instrument,
                                                       const std::string& site, DateTime from,
                                                       DateTime to, HourSpan own);

// "site not given" for runs without a site: the name of their block.
std::string SiteTitle(const std::string& site);

}  // namespace kestrum
