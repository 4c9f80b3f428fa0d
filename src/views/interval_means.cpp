// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/interval_means.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "views/run_sample_range.h"

namespace kestrum {
namespace {

std::int32_t TruncatedPulses(const SampleRecord& sample) {
  return static_cast<std::int32_t>(std::trunc(sample.Pulses));
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
  return ComputeIntervalMeans(store, RunSampleRange(store, run), n, options);
}

IntervalMeanSeries ComputeIntervalMeans(const MeasurementStore& store, SampleRange given, int n,
                                        const IntervalMeanOptions& options) {
  IntervalMeanSeries out;
  out.samples = n;
  const SampleRange range = ClampedSampleRange(given);
  const std::int32_t F = range.first;
  const std::int32_t L = range.last;
  if (n < 0 || static_cast<std::int64_t>(L) - F <= n) {
    out.tooShort = true;
    return out;
  }
  const auto& samples = store.Samples;
  auto at = [&samples](std::int32_t i) -> const SampleRecord& {
    return samples[static_cast<std::size_t>(i)];
  };

  Extended runningSum = 0;
  std::int32_t windowPulses = 0;
  std::int32_t count = 0;

  if (n > 0) {
    for (std::int32_t i = F; i <= F + n - 1; ++i) {
      runningSum += at(i).Concentration;
      windowPulses += TruncatedPulses(at(i));
    }
    out.mean.push_back({at(F + n - 1).Time, static_cast<double>(runningSum / n)});
    runningSum -= at(F).Concentration;
    windowPulses -= TruncatedPulses(at(F));
  }

  const std::int32_t secondPhaseStart = n > 0 ? F + n : F;
  const auto expected = static_cast<std::size_t>(L - secondPhaseStart + 2);
  out.mean.reserve(expected);
  if (options.meanError) out.meanWithError.reserve(expected);
  if (options.temperature) out.temperature.reserve(expected);
  if (options.humidity) out.humidity.reserve(expected);
  for (std::int32_t j = secondPhaseStart; j <= L; ++j) {
    const SampleRecord& sample = at(j);
    if (sample.Time == 0) continue;
    ++count;
    runningSum += sample.Concentration;
    windowPulses += TruncatedPulses(sample);
    const double mean = static_cast<double>(n > 0 ? runningSum / n : runningSum / count);
    out.mean.push_back({sample.Time, mean});
    if (options.meanError) {
      out.meanWithError.push_back({sample.Time, mean, MeanError(mean, windowPulses)});
    }
    if (options.temperature) {
      out.temperature.push_back({sample.Time, static_cast<double>(sample.TemperatureValue)});
    }
    if (options.humidity) {
      out.humidity.push_back({sample.Time, static_cast<double>(sample.HumidityValue)});
    }
    if (n > 0) {
      const SampleRecord& leaving = at(j - n + 1);
      runningSum -= leaving.Concentration;
      windowPulses -= TruncatedPulses(leaving);
    }
  }
  return out;
}

}  // namespace kestrum
