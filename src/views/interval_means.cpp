// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/interval_means.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "views/run_sample_range.h"

namespace kestrum {
namespace {

std::int32_t TruncatedPulses(const SampleValues& sample) {
  return static_cast<std::int32_t>(std::trunc(sample.pulses));
}

double MeanError(double mean, std::int32_t windowPulses) {
  if (windowPulses > 1) {
    return static_cast<double>(mean * std::sqrt(1.0L / static_cast<Extended>(windowPulses)));
  }
  return mean;  // too few pulses to say more than 100 per cent
}

}  // namespace

IntervalMeanSeries ComputeIntervalMeans(const MeasurementStore& store, int run, int n,
                                        const IntervalMeanOptions& options) {
  return ComputeIntervalMeans(RunSamples(store, run), n, options);
}

IntervalMeanSeries ComputeIntervalMeans(SampleView at, int n, const IntervalMeanOptions& options) {
  const std::int32_t F = 0;
  const std::int32_t L = at.size() - 1;
  IntervalMeanSeries out;
  out.samples = n;
  if (n < 0 || static_cast<std::int64_t>(L) - F <= n) {
    out.tooShort = true;
    return out;
  }

  Extended runningSum = 0;
  std::int32_t windowPulses = 0;
  std::int32_t count = 0;

  if (n > 0) {
    for (std::int32_t i = F; i <= F + n - 1; ++i) {
      const SampleValues sample = at[i];
      runningSum += sample.concentration;
      windowPulses += TruncatedPulses(sample);
    }
    out.mean.push_back({at[F + n - 1].time, static_cast<double>(runningSum / n)});
    const SampleValues first = at[F];
    runningSum -= first.concentration;
    windowPulses -= TruncatedPulses(first);
  }

  const std::int32_t secondPhaseStart = n > 0 ? F + n : F;
  const auto expected = static_cast<std::size_t>(L - secondPhaseStart + 2);
  out.mean.reserve(expected);
  if (options.meanError) out.meanWithError.reserve(expected);
  if (options.temperature) out.temperature.reserve(expected);
  if (options.humidity) out.humidity.reserve(expected);
  for (std::int32_t j = secondPhaseStart; j <= L; ++j) {
    const SampleValues sample = at[j];
    if (sample.time == 0) continue;
    ++count;
    runningSum += sample.concentration;
    windowPulses += TruncatedPulses(sample);
    const double mean = static_cast<double>(n > 0 ? runningSum / n : runningSum / count);
    out.mean.push_back({sample.time, mean});
    if (options.meanError) {
      out.meanWithError.push_back({sample.time, mean, MeanError(mean, windowPulses)});
    }
    if (options.temperature) {
      out.temperature.push_back({sample.time, static_cast<double>(sample.temperature)});
    }
    if (options.humidity) {
      out.humidity.push_back({sample.time, static_cast<double>(sample.humidity)});
    }
    if (n > 0) {
      const SampleValues leaving = at[j - n + 1];
      runningSum -= leaving.concentration;
      windowPulses -= TruncatedPulses(leaving);
    }
  }
  return out;
}

}  // namespace kestrum
