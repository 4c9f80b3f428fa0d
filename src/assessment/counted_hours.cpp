// SPDX-License-Identifier: GPL-3.0-or-later
#include "assessment/counted_hours.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kestrum {
namespace {

std::int64_t MinuteOf(DateTime time) {
  return std::llround(time * 1440.0);
}

// An hour as the minutes (end - 60, end].
struct Span {
  std::int64_t begin = 0;  // exclusive
  std::int64_t end = 0;    // inclusive
};

bool InRange(const HourlySample& s, DateTime from, DateTime to) {
  return s.time != 0 && s.time >= from && s.time <= to;
}

// Of the versions of one run that disagree, the longest speaks for it.
std::vector<const RunHours*> RunsThatCount(const std::vector<RunHours>& runs,
                                           std::vector<const RunHours*>& left) {
  std::map<std::int64_t, const RunHours*> longest;
  auto size = [](const RunHours* r) { return r->samples ? r->samples->size() : 0; };
  for (const RunHours& run : runs) {
    if (!run.conflict || run.excluded || run.clockUnset) continue;
    const RunHours*& best = longest[MinuteOf(run.start)];
    if (!best || size(&run) > size(best) || (size(&run) == size(best) && run.id > best->id)) {
      best = &run;
    }
  }
  std::vector<const RunHours*> counted;
  for (const RunHours& run : runs) {
    if (!run.samples) continue;
    if (run.excluded || run.clockUnset || (run.conflict && longest[MinuteOf(run.start)] != &run)) {
      left.push_back(&run);
      continue;
    }
    counted.push_back(&run);
  }
  return counted;
}

// The spans of the runs already taken; the earlier runs' hours under them
// are left out.
class TakenSpans {
 public:
  bool Covers(const Span& hour) const {
    // The first span that ends at or after the hour's end minus its length.
    auto it = std::lower_bound(spans_.begin(), spans_.end(), hour.begin + 1,
                               [](const Span& s, std::int64_t m) { return s.end < m; });
    return it != spans_.end() && it->begin < hour.end;
  }
  void Add(Span span) {
    auto it = std::lower_bound(spans_.begin(), spans_.end(), span,
                               [](const Span& a, const Span& b) { return a.begin < b.begin; });
    spans_.insert(it, span);
    // Merge neighbours so that the lookup above sees one span per stretch.
    std::vector<Span> merged;
    for (const Span& s : spans_) {
      if (!merged.empty() && s.begin <= merged.back().end) {
        merged.back().end = std::max(merged.back().end, s.end);
      } else {
        merged.push_back(s);
      }
    }
    spans_ = std::move(merged);
  }

 private:
  std::vector<Span> spans_;  // by begin, disjoint
};

}  // namespace

CountedHours CountHours(const std::vector<RunHours>& runs, DateTime from, DateTime to,
                        const std::string* site) {
  CountedHours out;
  std::vector<const RunHours*> left;
  std::vector<const RunHours*> counted = RunsThatCount(runs, left);
  auto ofSite = [site](const RunHours* run) { return !site || run->site == *site; };
  for (const RunHours* run : left) {
    if (!ofSite(run)) continue;
    for (const HourlySample& s : *run->samples) {
      if (!InRange(s, from, to)) continue;
      ++(run->clockUnset ? out.clockUnsetHours : out.excludedHours);
    }
  }

  // Latest start first: each run keeps what no later run covers.
  std::stable_sort(counted.begin(), counted.end(), [](const RunHours* a, const RunHours* b) {
    return a->start != b->start ? a->start > b->start : a->id > b->id;
  });
  struct Kept {
    const HourlySample* sample;
    std::int64_t run;
  };
  std::vector<Kept> kept;
  std::vector<std::size_t> blocks;  // where each run's kept samples begin
  TakenSpans taken;
  for (const RunHours* run : counted) {
    blocks.push_back(kept.size());
    std::int64_t first = 0, last = 0;
    bool any = false;
    for (const HourlySample& s : *run->samples) {
      if (s.time == 0) continue;
      const std::int64_t end = MinuteOf(s.time);
      first = any ? std::min(first, end) : end;
      last = any ? std::max(last, end) : end;
      any = true;
      const bool under = taken.Covers({end - 60, end});
      if (!InRange(s, from, to) || !ofSite(run)) continue;
      if (under) {
        ++out.overlapHours;
      } else {
        kept.push_back({&s, run->id});
      }
    }
    if (any) taken.Add({first - 60, last});
  }
  // The runs were taken latest first: put their blocks back in start order,
  // which is time order unless a clock went back.
  std::vector<Kept> ordered;
  ordered.reserve(kept.size());
  for (std::size_t b = blocks.size(); b-- > 0;) {
    const std::size_t end = b + 1 < blocks.size() ? blocks[b + 1] : kept.size();
    ordered.insert(ordered.end(), kept.begin() + static_cast<std::ptrdiff_t>(blocks[b]),
                   kept.begin() + static_cast<std::ptrdiff_t>(end));
  }
  kept = std::move(ordered);
  const auto earlier = [](const Kept& a, const Kept& b) { return a.sample->time < b.sample->time; };
  if (!std::is_sorted(kept.begin(), kept.end(), earlier)) {
    std::stable_sort(kept.begin(), kept.end(), earlier);
  }
  out.samples.reserve(kept.size());
  out.runOf.reserve(kept.size());
  for (const Kept& k : kept) {
    out.samples.push_back(*k.sample);
    out.runOf.push_back(k.run);
  }
  return out;
}

std::vector<SiteHours> CountHoursPerSite(const std::vector<RunHours>& runs, DateTime from,
                                         DateTime to) {
  // The sites that may have counted hours, cheaply from the runs' ends and in
  // time order; a site all of whose hours a later run took is dropped below.
  std::vector<const RunHours*> byStart;
  for (const RunHours& run : runs) {
    if (run.samples && !run.samples->empty() && !run.excluded && !run.clockUnset &&
        run.samples->back().time >= from && run.samples->front().time <= to) {
      byStart.push_back(&run);
    }
  }
  std::stable_sort(byStart.begin(), byStart.end(),
                   [](const RunHours* a, const RunHours* b) { return a->start < b->start; });
  std::vector<SiteHours> out;
  for (const RunHours* run : byStart) {
    const bool known = std::any_of(out.begin(), out.end(),
                                   [&](const SiteHours& s) { return s.site == run->site; });
    if (!known) out.push_back({run->site, CountHours(runs, from, to, &run->site)});
  }
  out.erase(std::remove_if(out.begin(), out.end(),
                           [](const SiteHours& s) { return s.hours.samples.empty(); }),
            out.end());
  return out;
}

}  // namespace kestrum
