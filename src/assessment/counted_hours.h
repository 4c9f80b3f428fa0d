// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which hours of an instrument's runs a summary or an assessment counts, by
// one rule for every view:
// - excluded runs, runs whose clock was never set and, of versions of one
//   run that disagree (same start), all but the longest do not count;
// - an hour counts once: where runs overlap (the clock was set back), the
//   run that started later holds the newer clock setting, so its hours
//   count and the earlier run's hours under it are left out.

#include <cstdint>
#include <string>
#include <vector>

#include "records/hourly_sample.h"

namespace kestrum {

// One run of one instrument, as the history or a data file gives it.
struct RunHours {
  std::int64_t id = 0;
  DateTime start = 0;
  std::string site;  // empty: not given
  bool excluded = false;
  bool conflict = false;  // another version with the same start disagrees
  bool clockUnset = false;
  const std::vector<HourlySample>* samples = nullptr;  // in time order
};

struct CountedHours {
  std::vector<HourlySample> samples;  // in time order, each hour once
  std::vector<std::int64_t> runOf;    // the run of each sample
  int overlapHours = 0;               // hours in range left out under a later run
  int clockUnsetHours = 0;            // hours in range of runs whose clock was never set
  int excludedHours = 0;              // hours in range of excluded runs and shorter versions
};

// The counted samples stamped from..to (both included) of the runs whose
// site is `site`, or of every run when `site` is null. Overlaps are settled
// across all the instrument's runs first, whatever their site.
CountedHours CountHours(const std::vector<RunHours>& runs, DateTime from, DateTime to,
                        const std::string* site = nullptr);

struct SiteHours {
  std::string site;
  CountedHours hours;
};

// CountHours for each site with counted hours in from..to, the sites in the
// order their first run started.
std::vector<SiteHours> CountHoursPerSite(const std::vector<RunHours>& runs, DateTime from,
                                         DateTime to);

}  // namespace kestrum
