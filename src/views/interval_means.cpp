// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/interval_means.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "views/run_sample_range.h"

namespace kestrum {
namespace {

// What a mean reads of a sample, in the store's precision.
struct MeanSample {
  DateTime time;
  Extended concentration;
  Extended pulses;
  Extended temperature;
  Extended humidity;
};

std::int32_t TruncatedPulses(const MeanSample& sample) {
  return static_cast<std::int32_t>(std::trunc(sample.pulses));
}

double MeanError(double mean, std::int32_t windowPulses) {
  if (windowPulses > 1) {
    return static_cast<double>(mean * std::sqrt(1.0L / static_cast<Extended>(windowPulses)));
  }
  return mean;  // too few pulses to say more than 100 per cent
}

// The means over samples F .. L, `at(i)` giving sample i.
template <typename At>
IntervalMeanSeries MeansOver(std::int32_t F, std::int32_t L, int n,
                             const IntervalMeanOptions& options, const At& at) {
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
      const MeanSample sample = at(i);
      runningSum += sample.concentration;
      windowPulses += TruncatedPulses(sample);
    }
    out.mean.push_back({at(F + n - 1).time, static_cast<double>(runningSum / n)});
    const MeanSample first = at(F);
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
    const MeanSample sample = at(j);
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
      const MeanSample leaving = at(j - n + 1);
      runningSum -= leaving.concentration;
      windowPulses -= TruncatedPulses(leaving);
    }
  }
  return out;
}

}  // namespace

IntervalMeanSeries ComputeIntervalMeans(const MeasurementStore& store, int run, int n,
                                        const IntervalMeanOptions& options) {
  return ComputeIntervalMeans(store, RunSampleRange(store, run), n, options);
}

IntervalMeanSeries ComputeIntervalMeans(const MeasurementStore& store, SampleRange given, int n,
                                        const IntervalMeanOptions& options) {
  const SampleRange range = ClampedSampleRange(given);
  return MeansOver(range.first, range.last, n, options, [&store](std::int32_t i) {
    const SampleRecord& s = store.Samples[static_cast<std::size_t>(i)];
    return MeanSample{s.Time, s.Concentration, s.Pulses, s.TemperatureValue, s.HumidityValue};
  });
}

IntervalMeanSeries ComputeIntervalMeans(HourSpan segment, int n,
                                        const IntervalMeanOptions& options) {
  return MeansOver(
      0, static_cast<std::int32_t>(segment.size()) - 1, n, options, [segment](std::int32_t i) {
        const HourlySample& s = segment[static_cast<std::size_t>(i)];
        return MeanSample{s.time, s.concentration, s.pulses, s.temperature, s.humidity};
      });
}

}  // namespace kestrum
