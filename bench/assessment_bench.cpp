// SPDX-License-Identifier: GPL-3.0-or-later
// Assessing ten years of one site (87,600 hours in 532 runs, some of them
// overlapping) under each protocol: counting the hours and the assessment.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "assessment/assessment.h"
#include "records/date_time.h"

namespace kestrum {
namespace {

struct TenYears {
  std::vector<std::vector<HourlySample>> samples;
  std::vector<RunHours> runs;
};

const TenYears& History() {
  static const TenYears years = [] {
    TenYears out;
    std::mt19937 random(11);
    std::poisson_distribution<int> pulses(30);
    const DateTime start = EncodeDate(2016, 1, 1);
    constexpr int kRuns = 532;
    constexpr int kHours = 87600 / kRuns;
    for (int r = 0; r < kRuns; ++r) {
      // Every tenth run starts two hours before the one before ends.
      const DateTime runStart =
          start + r * kHours * kOneHour - (r % 10 == 0 && r > 0 ? 2 * kOneHour : 0);
      std::vector<HourlySample> run;
      for (int h = 0; h < kHours; ++h) {
        const DateTime t = runStart + (h + 1) * kOneHour;
        const double season = 1 + 0.4 * std::cos((t - start) / 365.25 * 2 * 3.14159265);
        const double n = pulses(random) * season;
        run.push_back({t, n * 6.0, 0, n, 20, 45, 100});
      }
      out.samples.push_back(std::move(run));
    }
    for (int r = 0; r < kRuns; ++r) {
      out.runs.push_back({r + 1, out.samples[static_cast<std::size_t>(r)].front().time - kOneHour,
                          "Basement", false, false, false,
                          &out.samples[static_cast<std::size_t>(r)]});
    }
    return out;
  }();
  return years;
}

void BM_AssessTenYears(benchmark::State& state) {
  const TenYears& years = History();
  AssessmentRequest request;
  request.protocol = kProtocols[static_cast<std::size_t>(state.range(0))];
  request.levels = {100, 148, 300};
  std::array<double, 12> factors{};
  for (double& f : factors) f = 1;
  request.profile = SeasonalProfile{factors, 10, "flat"};
  const std::string site = "Basement";
  for (auto _ : state) {
    const CountedHours counted = CountHours(years.runs, -1e9, 1e9, &site);
    benchmark::DoNotOptimize(Assess(counted, request));
  }
  state.SetLabel(std::string(ProtocolName(request.protocol)));
}
BENCHMARK(BM_AssessTenYears)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrum
