// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_hours.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "assessment/daily_means.h"
#include "assessment/monthly_means.h"

namespace kestrum {

RunHours RunHoursOf(const LoadedRun& r) {
  // A run dated after its download has a clock as wrong as an unset one.
  return {r.run.id,       r.run.start,    r.run.site,
          r.run.excluded, r.run.conflict, r.run.clockUnset || r.run.future,
          &r.samples};
}

std::vector<RunHours> RunHoursOf(const std::vector<LoadedRun>& runs) {
  std::vector<RunHours> out;
  out.reserve(runs.size());
  for (const LoadedRun& r : runs) out.push_back(RunHoursOf(r));
  return out;
}

Result<std::vector<LoadedRun>> LoadInstrumentRuns(HistoryStore& store,
                                                  const std::string& instrument) {
  Result<std::vector<HistoryRun>> runs = store.Runs(instrument);
  if (!runs) return runs.failure();
  std::vector<LoadedRun> out;
  for (HistoryRun& run : runs.value()) {
    Result<std::vector<HistorySample>> samples = store.Samples(run.id);
    if (!samples) return samples.failure();
    out.push_back({std::move(run), std::move(samples).value()});
  }
  return out;
}

Result<SeasonalProfile> ProfileOfSite(HistoryStore& store, const std::string& site,
                                      const std::string* instrument) {
  std::optional<AnnualMean> best;
  std::vector<MonthlyMean> bestMonths;
  std::string from;
  const Result<std::vector<HistoryInstrument>> instruments = store.Instruments();
  if (!instruments) return instruments.failure();
  for (const HistoryInstrument& i : instruments.value()) {
    if (instrument && i.name != *instrument) continue;
    const Result<std::vector<LoadedRun>> runs = LoadInstrumentRuns(store, i.name);
    if (!runs) return runs.failure();
    const CountedHours counted = CountHours(RunHoursOf(runs.value()), -1e9, 1e9, &site);
    std::vector<MonthlyMean> months = MonthlyMeans(CalendarDays(counted.samples));
    const std::optional<AnnualMean> annual = AnnualMeanOf(months);
    if (!annual) continue;
    if (!best || std::make_pair(annual->fromYear, annual->fromMonth) >
                     std::make_pair(best->fromYear, best->fromMonth)) {
      best = annual;
      bestMonths = std::move(months);
      from = i.name;
    }
  }
  if (!best) {
    return Fail("the history has no twelve consecutive months of \"" + SiteTitle(site) +
                "\" each at least 75 % covered to take a seasonal profile from");
  }
  char span[64];
  const int last = best->fromYear * 12 + best->fromMonth - 1 + 11;
  std::snprintf(span, sizeof span, "%04d-%02d to %04d-%02d", best->fromYear, best->fromMonth,
                last / 12, last % 12 + 1);
  return ProfileFromMonths(bestMonths, SiteTitle(site) + " " + span + " (" + from + ")");
}

std::string SiteTitle(const std::string& site) {
  return site.empty() ? "site not given" : site;
}

Result<std::vector<CollocatedInstrument>> CollocatedAt(HistoryStore& store,
                                                       const std::string& instrument,
                                                       const std::string& site, DateTime from,
                                                       DateTime to, HourSpan own) {
  std::vector<CollocatedInstrument> found;
  const Result<std::vector<HistoryInstrument>> instruments = store.Instruments();
  if (!instruments) return instruments.failure();
  for (const HistoryInstrument& other : instruments.value()) {
    if (other.name == instrument) continue;
    const Result<std::vector<LoadedRun>> runs = LoadInstrumentRuns(store, other.name);
    if (!runs) return runs.failure();
    // Their stamps may lie up to half an hour beyond the test's ends and still pair.
    const CountedHours theirs =
        CountHours(RunHoursOf(runs.value()), from - kOneHour / 2, to + kOneHour / 2, &site);
    const Collocation c = Collocate(own, theirs.samples);
    if (c.sharedHours > 0) found.push_back({other.name, c});
  }
  return found;
}

}  // namespace kestrum
